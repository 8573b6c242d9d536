#include "directory_dialog.h"
#include "wait_cursor.h"

#include "file_system.h"
#include "form_position.h"
#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quorvil {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kPlaceholderRole = Qt::UserRole + 1;

QString WithSeparator(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// A root ("/", "C:/") keeps its separator: "C:" alone is a drive's working
// folder.
QString WithoutSeparator(const QString& path)
{
    return path.size() > 1 && !path.endsWith(QLatin1String(":/")) ? path.chopped(1) : path;
}

// Visible subdirectories, by name: hidden entries, "." and ".." do not count.
QStringList SubDirectories(const QString& path)
{
    return QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

QString NodePath(const QTreeWidgetItem* node)
{
    return node->data(0, kPathRole).toString();
}

}  // namespace

TPickDirForm::TPickDirForm(QWidget* parent) : QDialog(parent), tree_(new QTreeWidget(this)), status_(new QLabel(this))
{
    setObjectName(FromUtf8("PickDirForm"));
    setWindowTitle(FromUtf8("Select directory"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    tree_->setObjectName(FromUtf8("TreeView"));
    tree_->setHeaderHidden(true);
    status_->setObjectName(FromUtf8("StatusBar"));
    status_->setFrameShape(QFrame::StyledPanel);
    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    QPushButton* ok = buttons->addButton(FromUtf8("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(FromUtf8("OkBtn"));
    ok->setDefault(true);
    buttons->addButton(FromUtf8("&Cancel"), QDialogButtonBox::RejectRole)->setObjectName(FromUtf8("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tree_, &QTreeWidget::itemExpanded, this, &TPickDirForm::Fill);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) { ShowPath(node); });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [ok] { ok->click(); });

    auto* left = new QVBoxLayout;
    left->addWidget(tree_);
    left->addWidget(status_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(buttons);
    resize(420, 440);
    LoadFormPosition(*this);

    WaitCursor wait;
    auto* root = new QTreeWidgetItem(tree_, QStringList(FromUtf8("My Computer")));
    root->setIcon(0, style()->standardIcon(QStyle::SP_ComputerIcon));
    // Windows has no one root: its drive letters are the volumes below.
    if (QDir::rootPath() == QLatin1String("/"))
        AddNode(root, FromUtf8("File System (/)"), FromUtf8("/"));
    // Mounted volumes stand where drive letters would.
    for (const std::string& mountPoint : MountedVolumes()) {
        if (mountPoint == "/" || !DrivePresent(mountPoint))
            continue;
        const QString shown = PathToQString(mountPoint);
        const QString label = PathToQString(VolumeLabel(mountPoint));
        AddNode(root, label.isEmpty() ? shown : label + FromUtf8(" (") + shown + FromUtf8(")"),
                WithSeparator(QDir::fromNativeSeparators(shown)));
    }
    root->setExpanded(true);
}

TPickDirForm::~TPickDirForm()
{
    SaveFormPosition(*this);
}

QTreeWidgetItem* TPickDirForm::AddNode(QTreeWidgetItem* parent, const QString& text, const QString& path)
{
    auto* node = new QTreeWidgetItem(parent, QStringList(text));
    node->setData(0, kPathRole, path);
    node->setIcon(0, style()->standardIcon(parent->parent() ? QStyle::SP_DirIcon : QStyle::SP_DriveHDIcon));
    if (!SubDirectories(path).isEmpty()) {
        auto* placeholder = new QTreeWidgetItem(node);
        placeholder->setData(0, kPlaceholderRole, true);
    }
    return node;
}

void TPickDirForm::Fill(QTreeWidgetItem* node)
{
    if (!node->parent() || node->childCount() != 1 || !node->child(0)->data(0, kPlaceholderRole).toBool())
        return;
    WaitCursor wait;
    delete node->takeChild(0);
    const QString path = NodePath(node);
    for (const QString& name : SubDirectories(path))
        AddNode(node, name, path + name + QLatin1Char('/'));
}

void TPickDirForm::ShowPath(QTreeWidgetItem* node)
{
    const QString path = node ? NodePath(node) : QString();
    status_->setText(path.isEmpty() ? QString() : FromUtf8("  ") + QDir::toNativeSeparators(WithoutSeparator(path)));
}

void TPickDirForm::SetStartDirectory(const QString& path)
{
    QString wanted = QDir(path).exists() && !path.isEmpty() ? path : QCoreApplication::applicationDirPath();
    wanted = WithSeparator(QDir(wanted).absolutePath());
    QTreeWidgetItem* node = tree_->topLevelItem(0);
    QTreeWidgetItem* reached = node;
    while (node && NodePath(node) != wanted) {
        node->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        int best = 0;
        for (int i = 0; i < node->childCount(); ++i) {
            const QString childPath = NodePath(node->child(i));
            // The most specific volume wins over the file system root.
            if (!childPath.isEmpty() && wanted.startsWith(childPath) && childPath.size() > best) {
                next = node->child(i);
                best = int(childPath.size());
            }
        }
        node = next;
        if (node)
            reached = node;
    }
    // A directory the tree cannot show (a hidden one) leaves its nearest parent selected.
    tree_->setCurrentItem(reached);
    tree_->scrollToItem(reached);
}

QString TPickDirForm::SelectedDirectory() const
{
    const QTreeWidgetItem* node = tree_->currentItem();
    return node ? WithoutSeparator(NodePath(node)) : QString();
}

QString PickDirectory(const QString& start)
{
    TPickDirForm form(QApplication::activeWindow());
    form.SetStartDirectory(start);
    form.Tree()->setFocus();
    if (ExecModal(form) != QDialog::Accepted)
        return start;
    const QString chosen = form.SelectedDirectory();
    return chosen.isEmpty() ? start : chosen;
}

}  // namespace quorvil
