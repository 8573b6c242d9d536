#include "main_window.h"

#include "command_context.h"
#include "command_guard.h"
#include "config_settings.h"
#include "config_store.h"
#include "database_tabs.h"
#include "edit_commands.h"
#include "exchange_commands.h"
#include "file_commands.h"
#include "file_system.h"
#include "find_commands.h"
#include "form_position.h"
#include "format_settings.h"
#include "help_commands.h"
#include "key_filter.h"
#include "message_dialog.h"
#include "outside_changes.h"
#include "print_commands.h"
#include "recent_menu.h"
#include "record_commands.h"
#include "text_convert.h"
#include "transfer_commands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QLabel>
#include <QMimeData>
#include <QStackedWidget>
#include <QUrl>

namespace quorvil {

namespace {

QWidget* CreatePlaceholder(QWidget* parent)
{
    auto* label = new QLabel(FromUtf8("No database is open.\nUse File \u25B8 Open (Ctrl+O) to open a .PDB file."),
                             parent);
    label->setObjectName(FromUtf8("EmptyPanel"));
    label->setAlignment(Qt::AlignCenter);
    label->setEnabled(false);
    return label;
}

// The icon theme of the desktop, or the Tango set where there is none:
// installed beside the program on Linux, compiled in on Windows.
void ChooseIconTheme()
{
    QIcon::setThemeSearchPaths(QIcon::themeSearchPaths() << FromUtf8(":/icons"));
    QIcon::setFallbackThemeName(FromUtf8("Tango"));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(FromUtf8("Tango"));
}

QStringList LocalPaths(const QMimeData* data)
{
    QStringList paths;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                paths << url.toLocalFile();
    return paths;
}

}  // namespace

QIcon ApplicationIcon()
{
    // Pictures rendered from the SVG, so no SVG image plugin is needed.
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(FromUtf8(":/quorvil/icons/quorvil_%1.png").arg(size), QSize(size, size));
    return icon;
}

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), tabs_(new TDatabaseTabs(this)), centre_(new QStackedWidget(this)),
      context_(std::make_unique<TCommandContext>(*this, *tabs_))
{
    setObjectName(FromUtf8("MainForm"));
    setWindowTitle(WindowTitle({}));
    ChooseIconTheme();
    setWindowIcon(ApplicationIcon());
    context_->CreateStatusLine();
    files_ = std::make_unique<TFileCommands>(*context_);
    edits_ = std::make_unique<TEditCommands>(*context_);
    records_ = std::make_unique<TRecordCommands>(*context_);
    finds_ = std::make_unique<TFindCommands>(*context_);
    exchange_ = std::make_unique<TExchangeCommands>(*context_);
    // In the layout the database has, so that the copy loses nothing.
    tabs_->SetSaveAs([this] { return exchange_->SaveFileAsItemClick(0); });
    transfer_ = std::make_unique<TTransferCommands>(*context_, *records_->PopupMenu());
    print_ = std::make_unique<TPrintCommands>(*context_);
    help_ = std::make_unique<THelpCommands>(*context_);
    CreateMenus();
    CreateToolBar();
    centre_->addWidget(CreatePlaceholder(centre_));
    centre_->addWidget(tabs_);
    setCentralWidget(centre_);
    resize(1000, 640);
    setAcceptDrops(true);
    context_->EnableButtons(false);

    connect(tabs_, &TDatabaseTabs::StatusText, this, [this](const QString& text) { context_->ShowStatus(text); });
    connect(tabs_, &TDatabaseTabs::DatabaseOpened, this, [this](const std::string& path) { recent_->Add(path); });
    connect(tabs_, &TDatabaseTabs::ActiveChanged, this, [this] { context_->UpdateActiveInfo(); });
    connect(tabs_, &TDatabaseTabs::LastTabClosed, this, [this] {
        centre_->setCurrentIndex(0);
        close();
    });
    keys_ = std::make_unique<TKeyFilter>(*this, *context_);
    outside_ = std::make_unique<TOutsideChanges>(*this, *context_);
}

TMainForm::~TMainForm()
{
    if (!created_)
        return;
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    SaveFormPosition(*ini, *this, objectName());
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab)
        tabs_->SaveColumnWidths(tab, ini.get());
    recent_->List().Save(*ini);
}

void TMainForm::FormCreate(const QStringList& arguments)
{
    FixFormatSettings(QDate::currentDate().year());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    tabs_->setCurrentIndex(0);
    {
        const std::unique_ptr<TIniFile> ini = OpenConfig();
        SetSnapToDefaultButton(ReadFlag(*ini, settings::SnapToDefaultButton));
        recent_->List().Load(*ini, [](const std::string& path) { return FileExists(path); });
        recent_->Update();
        LoadFormPosition(*ini, *this, FromUtf8("MainForm"));
    }
    created_ = true;
    files_->OpenCommandLine(arguments);
    if (tabs_->TabShown(0))
        tabs_->setCurrentIndex(0);
    Action("AllBtn")->setEnabled(false);
    context_->EnableButtons(tabs_->CurrentDB() != nullptr);
    context_->UpdateActiveInfo();
}

QAction* TMainForm::Action(const char* name) const
{
    return context_->Action(name);
}

QLabel* TMainForm::StatusPanel() const
{
    return context_->StatusPanel();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!TCommandContext::CommitEditing()) {
        event->ignore();  // the refused text waits for correction
        return;
    }
    // FormCloseQuery: the first Cancel (or failed save) keeps the program open.
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab) {
        bool mayClose = false;
        RunCommand("FormCloseQuery", [&] { mayClose = tabs_->AskSave(tab); });
        if (!mayClose) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QStringList paths = LocalPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    files_->OpenDropped(paths);
}

}  // namespace quorvil
