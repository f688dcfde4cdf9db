#pragma once

#include <memory>
#include <vector>

struct TScriptEditor;

// What the subsystems need of the open scripts: the current one, all of them, and saving.
class DocumentSource
{
public:
    using List = std::vector<std::unique_ptr<TScriptEditor>>;

    virtual ~DocumentSource() = default;
    // The script of the selected tab, or null.
    virtual TScriptEditor *current() const = 0;
    virtual const List &all() const = 0;
    // Saves the current script (asking for a name when it has none); false when nothing was
    // written.
    virtual bool saveCurrent() = 0;
};
