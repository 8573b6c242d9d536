#include "monkey_answers.h"

#include "directory_dialog.h"
#include "text_convert.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace quorvil::test {

namespace {

const char* const kTokens[] = {"",           "a",          "Red",   "x1",    "12",   "-7", "3.25", "07/03/2024",
                               "31/02/2024", "1 Jan 1999", "12:30", "25:61", "TRUE", "0",  "Name", "Zed \xc3\x9f",
                               "\xc2\xa4",   "North",      "1..5"};

const char* const kOkNames[] = {"OkBtn", "BitBtn1", "OK", "Yes"};
const char* const kCancelNames[] = {"CancelBtn", "BitBtn2", "Cancel", "No"};

template <class W>
QList<W*> Usable(QDialog& dialog)
{
    QList<W*> usable;
    for (W* w : dialog.findChildren<W*>())
        if (w->window() == &dialog && w->isVisible() && w->isEnabled())
            usable << w;
    return usable;
}

QPushButton* Named(QDialog& dialog, const char* const* names, size_t count)
{
    for (size_t k = 0; k < count; ++k)
        if (auto* button = dialog.findChild<QPushButton*>(FromUtf8(names[k])); button && button->isEnabled())
            return button;
    return nullptr;
}

}  // namespace

TMonkeyAnswers::TMonkeyAnswers(std::mt19937& random, const QString& folder) : random_(random), folder_(folder) {}

bool TMonkeyAnswers::Chance(int percent)
{
    return Below(100) < percent;
}

int TMonkeyAnswers::Below(int n)
{
    return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(random_);
}

QString TMonkeyAnswers::Token()
{
    if (Chance(5))
        return QString(Below(300) + 1, QLatin1Char('w'));
    return QString::fromUtf8(kTokens[Below(int(std::size(kTokens)))]);
}

QStringList TMonkeyAnswers::TakeMessages()
{
    QStringList taken;
    taken.swap(messages_);
    return taken;
}

void TMonkeyAnswers::Answer(QDialog& dialog)
{
    if (auto* files = qobject_cast<QFileDialog*>(&dialog))
        return AnswerFile(*files);
    if (auto* folders = qobject_cast<TPickDirForm*>(&dialog)) {
        // Only the working folder: a split anywhere else would write there.
        folders->SetStartDirectory(folder_);
        if (auto* ok = Named(dialog, kOkNames, std::size(kOkNames)); ok && Chance(80))
            ok->click();
        else
            dialog.reject();
        return;
    }
    if (dialog.findChild<QLabel*>(FromUtf8("Message")))
        return AnswerMessage(dialog);
    Poke(dialog, 0);
}

void TMonkeyAnswers::AnswerMessage(QDialog& dialog)
{
    messages_ << dialog.findChild<QLabel*>(FromUtf8("Message"))->text();
    const QList<QPushButton*> buttons = Usable<QPushButton>(dialog);
    if (buttons.isEmpty())
        dialog.reject();
    else
        buttons[Below(int(buttons.size()))]->click();
}

QStringList TMonkeyAnswers::FilesMatching(const QStringList& nameFilters) const
{
    QStringList patterns;
    static const QRegularExpression inParens(QStringLiteral("\\(([^)]*)\\)"));
    for (const QString& filter : nameFilters) {
        const auto match = inParens.match(filter);
        patterns << (match.hasMatch() ? match.captured(1) : filter).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    patterns.removeAll(QStringLiteral("*"));
    QStringList files;
    for (const QString& name : QDir(folder_).entryList(patterns, QDir::Files, QDir::Name))
        files << QDir(folder_).filePath(name);
    return files;
}

void TMonkeyAnswers::AnswerFile(QFileDialog& dialog)
{
    if (Chance(8)) {
        dialog.reject();
        return;
    }
    if (dialog.fileMode() == QFileDialog::Directory) {
        // Only the working folder: a split anywhere else would write there.
        dialog.setDirectory(folder_);
        QMetaObject::invokeMethod(&dialog, "accept");
        return;
    }
    const QStringList filters = dialog.nameFilters();
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters[Below(int(filters.size()))]);
    QString chosen;
    // An existing file of the chosen type ("All files": of the first type).
    QStringList existing = FilesMatching({dialog.selectedNameFilter()});
    if (existing.size() == QDir(folder_).entryList(QDir::Files).size())
        existing = FilesMatching({filters.value(0)});
    if (dialog.acceptMode() == QFileDialog::AcceptOpen || (Chance(30) && !existing.isEmpty())) {
        const QStringList any = existing.isEmpty() ? FilesMatching(filters) : existing;
        if (any.isEmpty()) {
            dialog.reject();
            return;
        }
        chosen = any[Below(int(any.size()))];
    } else {
        QString extension = QStringLiteral("PDB");
        static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
        // "All files" takes the first type's extension: a database goes by
        // .PDB, an export by its own.
        for (const QString& filter : {dialog.selectedNameFilter(), filters.value(0)})
            if (const auto match = pattern.match(filter); match.hasMatch()) {
                extension = match.captured(1);
                break;
            }
        // Now and then without the extension, which the command adds.
        chosen = QDir(folder_).filePath(QStringLiteral("out%1").arg(++named_) +
                                        (Chance(80) ? QLatin1Char('.') + extension : QString()));
    }
    dialog.selectFile(chosen);
    QMetaObject::invokeMethod(&dialog, "accept");
}

// A few random edits, then OK (or now and then Cancel). A dialog that
// refuses its OK is poked again, and after a few refusals cancelled.
void TMonkeyAnswers::Poke(QDialog& dialog, int rounds)
{
    QPointer<QDialog> guard(&dialog);
    const auto open = [&] { return guard && guard->isVisible(); };
    for (int edits = Below(5); edits > 0 && open(); --edits) {
        switch (Below(6)) {
        case 0:
        case 1:
            if (const auto lines = Usable<QLineEdit>(dialog); !lines.isEmpty()) {
                QLineEdit* line = lines[Below(int(lines.size()))];
                // Folder lines keep the working folder.
                if (line->isReadOnly() || line->text().startsWith(QLatin1Char('/')))
                    break;
                line->setFocus();
                line->selectAll();
                QTest::keyClicks(line, Token());
            }
            break;
        case 2:
            if (const auto boxes = Usable<QCheckBox>(dialog); !boxes.isEmpty())
                boxes[Below(int(boxes.size()))]->click();
            else if (const auto radios = Usable<QRadioButton>(dialog); !radios.isEmpty())
                radios[Below(int(radios.size()))]->click();
            break;
        case 3:
            if (const auto combos = Usable<QComboBox>(dialog); !combos.isEmpty()) {
                QComboBox* combo = combos[Below(int(combos.size()))];
                combo->setFocus();
                QTest::keyClick(combo, Chance(50) ? Qt::Key_Down : Qt::Key_Up);
            }
            break;
        case 4:
            if (const auto views = Usable<QAbstractItemView>(dialog); !views.isEmpty()) {
                QAbstractItemView* view = views[Below(int(views.size()))];
                QAbstractItemModel* model = view->model();
                if (!model || model->rowCount() == 0)
                    break;
                const QModelIndex item = model->index(Below(model->rowCount()), 0);
                view->setCurrentIndex(item);
                if (model->flags(item) & Qt::ItemIsUserCheckable) {
                    const bool on = model->data(item, Qt::CheckStateRole).toInt() == Qt::Checked;
                    model->setData(item, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
                }
            } else if (const auto spins = Usable<QSpinBox>(dialog); !spins.isEmpty()) {
                QTest::keyClick(spins[Below(int(spins.size()))], Qt::Key_Up);
            }
            break;
        default:
            // The dialog's own buttons (add, delete, browse...), not the ones that close it.
            if (const auto buttons = Usable<QPushButton>(dialog); !buttons.isEmpty()) {
                QPushButton* button = buttons[Below(int(buttons.size()))];
                const QString name = button->objectName();
                bool closes = false;
                for (const char* n : kOkNames)
                    closes = closes || name == QLatin1String(n);
                for (const char* n : kCancelNames)
                    closes = closes || name == QLatin1String(n);
                if (!closes)
                    button->click();
            }
            break;
        }
    }
    if (!open())
        return;
    QPushButton* ok = Named(dialog, kOkNames, std::size(kOkNames));
    if (rounds >= 3 || !ok || Chance(20)) {
        if (QPushButton* cancel = Named(dialog, kCancelNames, std::size(kCancelNames)); cancel && rounds < 3)
            cancel->click();
        else
            dialog.reject();
        return;
    }
    ok->click();
    if (open())
        QTimer::singleShot(0, guard.data(), [this, guard, rounds] {
            if (guard && guard->isVisible())
                Poke(*guard, rounds + 1);
        });
}

}  // namespace quorvil::test
