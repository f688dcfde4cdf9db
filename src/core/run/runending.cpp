#include "core/run/runending.h"

namespace {

QString seconds(qint64 ms)
{
    // Two decimals tell short runs apart; past ten seconds one is plenty.
    const qint64 clamped = qMax<qint64>(0, ms);
    return QString::number(double(clamped) / 1000.0, 'f', clamped < 10000 ? 2 : 1)
           + QStringLiteral(" s");
}

} // namespace

QString runEndingLine(int exitCode, Runner::Ending ending, qint64 elapsedMs,
                      const QString &signalName)
{
    QString what;
    switch (ending) {
    case Runner::Ending::Exited:
        what = QStringLiteral("exit status %1, %2").arg(exitCode).arg(seconds(elapsedMs));
        break;
    case Runner::Ending::Crashed:
        what = exitCode > 0 ? QStringLiteral("ended by signal %1").arg(exitCode)
                            : QStringLiteral("ended by a signal");
        if (!signalName.isEmpty())
            what += QStringLiteral(" (%1)").arg(signalName);
        what += QStringLiteral(", ") + seconds(elapsedMs);
        break;
    case Runner::Ending::Stopped:
        what = QStringLiteral("stopped after ") + seconds(elapsedMs);
        break;
    }
    return QStringLiteral("--- %1 ---").arg(what);
}
