#include "gui_test_support.h"

#include "config_store.h"
#include "long_text_check.h"
#include "main_window.h"
#include "modal.h"
#include "sort_dialog.h"
#include "text_convert.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#if !defined(_WIN32)
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quorvil::test {

void AnswerAfter(const std::function<void(QDialog&)>& inspect, const QString& buttonName)
{
    QueueModalAnswer([inspect, buttonName](QDialog& dialog) {
        inspect(dialog);
        auto* button = dialog.findChild<QPushButton*>(buttonName);
        if (button)
            button->click();
        else
            dialog.done(-1);  // the test asked for a button the dialog lacks
    });
}

void AnswerButton(const QString& buttonName)
{
    AnswerAfter([](QDialog&) {}, buttonName);
}

void AnswerKey(int key)
{
    QueueModalAnswer([key](QDialog& dialog) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target && dialog.isAncestorOf(target) ? target : &dialog, Qt::Key(key));
    });
}

void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(widget, QString(c));
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

void AnswerInputLine(const QString& text)
{
    QueueModalAnswer([text](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>();
        edit->selectAll();
        TypeText(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

QPushButton* Btn(QDialog& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(FromUtf8(name));
}

void ClickHeader(QTableView& table, int col)
{
    table.scrollTo(table.model()->index(0, col));
    QHeaderView* header = table.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(col) + header->sectionSize(col) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

bool TypeIntoCell(QTableView& grid, const QModelIndex& cell, const QString& text)
{
    grid.setFocus();
    grid.setCurrentIndex(cell);
    QWidget* editor = grid.indexWidget(cell);
    QString rest = text;
    if (!editor) {
        TypeText(&grid, text.left(1));
        editor = grid.indexWidget(cell);
        rest = text.mid(1);
    }
    if (!editor)
        return false;
    TypeText(editor, rest);
    QTest::keyClick(editor, Qt::Key_Return);
    return true;
}

QString MessageOf(QDialog& dialog)
{
    auto* label = dialog.findChild<QLabel*>(FromUtf8("Message"));
    return label ? label->text() : QString();
}

void AnswerMessage(QString& text, const QString& button)
{
    AnswerAfter([&text](QDialog& d) { text = MessageOf(d); }, button);
}

void AnswerSortFields(const QStringList& keys)
{
    QueueModalAnswer([keys](QDialog& d) {
        QListWidget* available = dynamic_cast<TSortForm&>(d).AvailList();
        for (const QString& key : keys) {
            for (int i = 0; i < available->count(); ++i)
                available->item(i)->setSelected(available->item(i)->text() == key);
            Btn(d, "CopyBtn")->click();
        }
        Btn(d, "OkBtn")->click();
    });
}

void AnswerFileDialog(const QString& name, QStringList* shown, int type)
{
    QueueModalAnswer([=](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        if (shown)
            *shown = QStringList{dialog.windowTitle(), dialog.selectedNameFilter()} + dialog.nameFilters();
        if (type >= 0)
            dialog.selectNameFilter(dialog.nameFilters().value(type));
        dialog.selectFile(name);
        QMetaObject::invokeMethod(&dialog, "accept");
    });
}

std::unique_ptr<TMainForm> StartMainForm(const QStringList& arguments)
{
    auto form = std::make_unique<TMainForm>();
    form->FormCreate(arguments);
    form->show();
    return form;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

namespace {

// Where the program looks for its configuration first.
#if defined(_WIN32)
constexpr char kConfigVariable[] = "APPDATA";
#else
constexpr char kConfigVariable[] = "XDG_CONFIG_HOME";
#endif

}  // namespace

ConfigHome::ConfigHome() : old_(qgetenv(kConfigVariable)), hadOld_(qEnvironmentVariableIsSet(kConfigVariable))
{
    qputenv(kConfigVariable, QFile::encodeName(QDir::toNativeSeparators(dir_.path())));
}

ConfigHome::~ConfigHome()
{
    if (hadOld_)
        qputenv(kConfigVariable, old_);
    else
        qunsetenv(kConfigVariable);
}

std::string ConfigHome::Read(const std::string& section, const std::string& key) const
{
    return OpenConfig()->ReadString(section, key);
}

void ConfigHome::Write(const std::string& section, const std::string& key, const std::string& value) const
{
    OpenConfig()->WriteString(section, key, value);
}

#if defined(_WIN32)
// Windows: the read-only attribute holds for files only; a folder's is
// ignored by the system, so a folder cannot be protected.
WriteProtect::WriteProtect(const std::string& path) : path_(path)
{
    const QString name = PathToQString(path);
    directory_ = QFileInfo(name).isDir();
    done_ = !directory_ && QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    // Wine run as root writes such a file all the same.
    QFile probe(name);
    if (done_ && probe.open(QIODevice::ReadWrite))
        done_ = false;
}

WriteProtect::~WriteProtect()
{
    if (!directory_)
        QFile::setPermissions(PathToQString(path_), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ReadUser | QFileDevice::WriteUser);
}
#else
namespace {

bool SetImmutable(const std::string& path, bool on)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

}  // namespace

WriteProtect::WriteProtect(const std::string& path) : path_(path)
{
    struct stat info {};
    directory_ = ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    if (::geteuid() == 0)
        immutable_ = SetImmutable(path, true);
    else
        ::chmod(path.c_str(), directory_ ? 0555 : 0444);
    if (directory_) {
        done_ = ::access(path.c_str(), W_OK) != 0;
        return;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    done_ = fd < 0;
    if (fd >= 0)
        ::close(fd);
}

WriteProtect::~WriteProtect()
{
    if (immutable_)
        SetImmutable(path_, false);
    ::chmod(path_.c_str(), directory_ ? 0755 : 0644);
}
#endif

std::string MakeDatabase(const QString& directory, const std::string& fileName, const std::string& title,
                         const std::vector<FieldSpec>& fields, const std::vector<std::vector<std::string>>& rows)
{
    const std::string path = QStringToPath(directory) + "/" + fileName;
    auto db = CreateNew<TJFILE>(path);
    FillDatabase(*db, fields, rows);
    db->SaveWithName(title);
    return path;
}

void GuiCase::init()
{
    // The cases a platform leaves out, by name, each with its reason in
    // tests/gui/CMakeLists.txt.
    const QStringList leftOut = qEnvironmentVariable("QUORVIL_SKIP_CASES").split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (leftOut.contains(QLatin1String(QTest::currentTestFunction())))
        QSKIP("left out on this platform (tests/gui/CMakeLists.txt)");
    // Qt's own file dialogs, which the cases answer, where the platform has
    // native ones (Windows).
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    ClearModalAnswers();
    ForgetLeaveChoice();
    config_.reset();  // the old one puts the variable back first
    config_ = std::make_unique<ConfigHome>();
    data_ = std::make_unique<QTemporaryDir>();
    config_->Write("SAVE", "Dir", QStringToPath(data_->path()));
}

void GuiCase::cleanup()
{
    const int left = QueuedModalAnswers();
    ClearModalAnswers();
    QCOMPARE(left, 0);
}

}  // namespace quorvil::test
