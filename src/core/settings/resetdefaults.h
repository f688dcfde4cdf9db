#pragma once

#include <QString>
#include <QVector>

#include <functional>

class TIniFile;

// What the reset takes from the first-run wizard and from the platform's default table.
struct ResetValues
{
    QString perl;
    QString webServer;
    bool runWebServer = false;
    QString runAutoSaveAs; // the platform's "test.pl" in the home folder
    QString command;       // the platform's command interpreter
    QString localHost;     // the local machine's HTTP address
};

// One step of the default configuration: the label shown while it runs and its writes.
struct ResetStep
{
    QString label;
    std::function<void(TIniFile &)> write;
};

// The 37 steps, in order; the last writes nothing.
QVector<ResetStep> resetSteps(const ResetValues &values);
