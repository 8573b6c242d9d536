#include "help_commands.h"

#include "command_context.h"
#include "modal.h"
#include "quorvil_version.h"
#include "shortcuts_dialog.h"
#include "text_convert.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>

#include <vector>

namespace quorvil {

namespace {

// "Save &as\tCtrl+A" is shown "Save as"; a literal "&&" stays "&".
QString PlainText(QString text)
{
    text = text.section(QLatin1Char('\t'), 0, 0);
    text.replace(QRegularExpression(FromUtf8("&(?!&)")), QString());
    return text.replace(FromUtf8("&&"), FromUtf8("&"));
}

QString KeysText(const QList<QKeySequence>& keys)
{
    QStringList texts;
    for (const QKeySequence& key : keys)
        texts << key.toString(QKeySequence::NativeText);
    return texts.join(FromUtf8(", "));
}

bool IsRecentFile(const QAction& action)
{
    static const QRegularExpression name(FromUtf8("^LoadFile\\d+Item$"));
    return name.match(action.objectName()).hasMatch();
}

void AddRows(const QMenu& menu, const QString& path, std::vector<TShortcutRow>& rows)
{
    for (QAction* action : menu.actions()) {
        if (action->menu()) {
            AddRows(*action->menu(), path + FromUtf8(" \u25B8 ") + PlainText(action->text()), rows);
            continue;
        }
        if (action->isSeparator() || action->shortcuts().isEmpty() || IsRecentFile(*action))
            continue;
        rows.push_back({path + FromUtf8(" \u25B8 ") + PlainText(action->text()), KeysText(action->shortcuts())});
    }
}

}  // namespace

THelpCommands::THelpCommands(TCommandContext& context) : context_(context)
{
    context.AddCommand(
        "ShortcutsItem", "&Keyboard shortcuts", "ShortcutsItemClick", [this] { ShortcutsItemClick(); }, false);
    context.AddCommand(
        "AboutItem", "&About Quorvil", "AboutItemClick", [this] { AboutItemClick(); }, false);
}

std::vector<TShortcutRow> THelpCommands::ShortcutRows() const
{
    std::vector<TShortcutRow> rows;
    for (QAction* action : context_.Window().menuBar()->actions())
        if (action->menu())
            AddRows(*action->menu(), PlainText(action->text()), rows);
    rows.push_back({FromUtf8("File \u25B8 a recent file"), FromUtf8("Alt+1 \u2026 Alt+9")});
    return rows;
}

void THelpCommands::ShortcutsItemClick()
{
    TShortcutsForm form(&context_.Window());
    form.ShowRows(ShortcutRows());
}

void THelpCommands::AboutItemClick()
{
    QMessageBox box(QMessageBox::Information, FromUtf8("About Quorvil"), AboutText(), QMessageBox::Ok,
                    &context_.Window());
    box.setObjectName(FromUtf8("AboutBox"));
    box.setTextFormat(Qt::RichText);
    box.setTextInteractionFlags(Qt::TextBrowserInteraction);
    box.setIconPixmap(context_.Window().windowIcon().pixmap(64, 64));
    ExecModal(box);
}

QString AboutText()
{
    const QString homepage = FromUtf8(kHomepage);
    return FromUtf8("<p><b>Quorvil %1</b></p>"
                    "<p>An editor for JFile and JFile Pro databases (.PDB): open, fix, convert and export "
                    "the table databases of the handheld.</p>"
                    "<p>Licence: GNU General Public License, version 3 or later.<br>"
                    "Built with Qt %2, running on Qt %3.</p>"
                    "<p><a href=\"%4\">%4</a></p>")
        .arg(FromUtf8(kVersion), FromUtf8(QT_VERSION_STR), FromUtf8(qVersion()), homepage.toHtmlEscaped());
}

}  // namespace quorvil
