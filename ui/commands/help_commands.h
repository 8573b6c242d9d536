#pragma once
// The Help menu: the table of keyboard shortcuts, read from the menus so it
// never differs from them, and the About box.
#include <QString>

#include <vector>

namespace quorvil {

class TCommandContext;
struct TShortcutRow;

class THelpCommands {
public:
    explicit THelpCommands(TCommandContext& context);

    void ShortcutsItemClick();
    void AboutItemClick();

    // Every menu command that has keys, as "Menu > Command" and its keys,
    // in menu order; the recent files as one row.
    std::vector<TShortcutRow> ShortcutRows() const;

private:
    TCommandContext& context_;
};

// The program's name, version, licence, Qt version and address.
QString AboutText();

}  // namespace quorvil
