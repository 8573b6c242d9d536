#include "print_preview.h"

#include "form_position.h"
#include "print_options_dialog.h"
#include "progress.h"
#include "progress_line.h"
#include "text_convert.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cstdlib>
#include <exception>

namespace quorvil {

namespace {

// The pages painted last are kept, so that going back and forth costs
// nothing; a page as wide as a large screen takes about 10 MB.
constexpr size_t kCachedPages = 4;
// The grey around the page in view, in pixels.
constexpr int kFrame = 12;

}  // namespace

// The page in view, centred on grey as on a desk.
class TPageView : public QWidget {
public:
    explicit TPageView(TPrintPreview& preview) : QWidget(nullptr), preview_(preview)
    {
        setObjectName(FromUtf8("PageView"));
        setAutoFillBackground(true);
        QPalette grey = palette();
        grey.setColor(QPalette::Window, QColor(128, 128, 128));
        setPalette(grey);
    }
    // The size the page is shown at, in pixels.
    void SetPageSize(QSize size) { page_ = size; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (page_.isEmpty() || !preview_.HasPages())
            return;
        const QRect at(QPoint((width() - page_.width()) / 2, kFrame), page_);
        const qreal ratio = devicePixelRatioF();
        QImage image = preview_.PageImage(preview_.CurrentPage(), page_ * ratio);
        image.setDevicePixelRatio(ratio);
        QPainter painter(this);
        painter.fillRect(at.translated(3, 3), QColor(64, 64, 64));
        painter.drawImage(at.topLeft(), image);
    }
    // With the whole page in view the wheel turns pages; else it scrolls.
    void wheelEvent(QWheelEvent* event) override
    {
        if (!parentWidget() || height() > parentWidget()->height()) {
            event->ignore();
            return;
        }
        turn_ += event->angleDelta().y();
        if (std::abs(turn_) >= 120) {
            preview_.ShowPage(preview_.CurrentPage() + (turn_ < 0 ? 1 : -1));
            turn_ = 0;
        }
    }

private:
    TPrintPreview& preview_;
    QSize page_;
    int turn_ = 0;  // wheel steps not yet a page
};

TPrintPreview::TPrintPreview(const TJFILE& db, const TPrintSource& source, const QStringList& fieldNames,
                             std::unique_ptr<TPrintDocument> document, QWidget* parent)
    : QDialog(parent), db_(db), source_(source), fieldNames_(fieldNames), document_(std::move(document))
{
    setObjectName(FromUtf8("PrintPreviewForm"));
    setWindowTitle(FromUtf8("Print preview"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    QHBoxLayout* top = BuildButtons();
    view_ = new TPageView(*this);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(FromUtf8("PageScroll"));
    scroll_->setWidget(view_);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->viewport()->installEventFilter(this);
    progress_ = new TProgressLine(this);
    note_ = new QLabel(this);
    note_->setObjectName(FromUtf8("PreviewNote"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(note_, 1);
    bottom->addWidget(progress_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(scroll_, 1);
    layout->addLayout(bottom);

    Connect();
    resize(760, 900);
    LoadFormPosition(*this);
    ShowPage(0);
}

TPrintPreview::~TPrintPreview()
{
    SaveFormPosition(*this);
}

// The row over the page: turning pages, the zoom, and what to do with them.
QHBoxLayout* TPrintPreview::BuildButtons()
{
    auto button = [this](const char* name, const char* text) {
        auto* b = new QPushButton(FromUtf8(text), this);
        b->setObjectName(FromUtf8(name));
        b->setAutoDefault(false);
        return b;
    };
    previous_ = button("PreviousPageBtn", "Pre&vious");
    next_ = button("NextPageBtn", "&Next");
    count_ = new QLabel(this);
    count_->setObjectName(FromUtf8("PageCountLabel"));
    zoom_ = new QComboBox(this);
    zoom_->setObjectName(FromUtf8("ZoomBox"));
    zoom_->addItems({FromUtf8("Fit page"), FromUtf8("Fit width")});
    auto* zoomLabel = new QLabel(FromUtf8("&Zoom:"), this);
    zoomLabel->setBuddy(zoom_);
    options_ = button("OptionsBtn", "&Options...");
    print_ = button("PrintBtn", "&Print...");
    pdf_ = button("ExportPdfBtn", "Export as P&DF...");
    close_ = button("CloseBtn", "Close");
    auto* top = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{previous_, next_, count_})
        top->addWidget(w);
    top->addSpacing(16);
    top->addWidget(zoomLabel);
    top->addWidget(zoom_);
    top->addStretch();
    for (QWidget* w : std::initializer_list<QWidget*>{options_, print_, pdf_, close_})
        top->addWidget(w);
    return top;
}

void TPrintPreview::Connect()
{
    connect(previous_, &QPushButton::clicked, this, [this] { ShowPage(page_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { ShowPage(page_ + 1); });
    connect(zoom_, &QComboBox::currentIndexChanged, this, [this] { FitPage(); });
    connect(options_, &QPushButton::clicked, this, &TPrintPreview::EditOptions);
    connect(print_, &QPushButton::clicked, this, [this] { done(Print); });
    connect(pdf_, &QPushButton::clicked, this, [this] { done(ExportPdf); });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    const std::pair<QKeySequence, int> keys[] = {{QKeySequence(Qt::Key_PageUp), -1},
                                                 {QKeySequence(Qt::Key_PageDown), 1},
                                                 {QKeySequence(Qt::CTRL | Qt::Key_Home), -1000000},
                                                 {QKeySequence(Qt::CTRL | Qt::Key_End), 1000000}};
    for (const auto& [key, step] : keys) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] { ShowPage(page_ + step); });
    }
}

const TPrintOptions& TPrintPreview::Options() const
{
    return document_->Options();
}

int TPrintPreview::PageCount() const
{
    return document_ ? document_->PageCount() : 0;
}

void TPrintPreview::ShowPage(int index)
{
    page_ = std::max(0, std::min(index, PageCount() - 1));
    ShowCount();
    scroll_->verticalScrollBar()->setValue(0);
    view_->update();
}

void TPrintPreview::ShowCount()
{
    count_->setText(FromUtf8("Page %1 of %2").arg(page_ + 1).arg(PageCount()));
    previous_->setEnabled(page_ > 0);
    next_->setEnabled(page_ + 1 < PageCount());
}

QImage TPrintPreview::PageImage(int index, QSize size)
{
    const std::pair<int, QSize> key(index, size);
    for (auto it = cache_.begin(); it != cache_.end(); ++it) {
        if (it->first == key) {
            cache_.splice(cache_.begin(), cache_, it);
            return it->second;
        }
    }
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QPageLayout layout = document_->PageLayout();
    const QRectF paper = layout.fullRectPoints();
    const QRectF inside = layout.paintRectPoints();
    const qreal scale = size.width() / paper.width();
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        document_->PaintPage(
            painter, index,
            QRectF(inside.x() * scale, inside.y() * scale, inside.width() * scale, inside.height() * scale));
    }
    cache_.emplace_front(key, image);
    if (cache_.size() > kCachedPages)
        cache_.pop_back();
    return image;
}

bool TPrintPreview::eventFilter(QObject* watched, QEvent* event)
{
    // The view's room is known once the layout has sized it, after the
    // window's own resize.
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize)
        FitPage();
    return QDialog::eventFilter(watched, event);
}

void TPrintPreview::changeEvent(QEvent* event)
{
    // The options stay in sight while the pages are turned under them.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && form_)
        form_->raise();
    QDialog::changeEvent(event);
}

// The page as large as the window lets it be: whole, or as wide as the
// window with the rest scrolled to.
void TPrintPreview::FitPage()
{
    if (!document_)  // handed to the printer
        return;
    const QSizeF paper = document_->PageLayout().fullRectPoints().size();
    const bool fitWidth = zoom_->currentIndex() == 1;
    const int scrollBar = scroll_->verticalScrollBar()->sizeHint().width();
    // The room with no scroll bar showing, so that one coming or going
    // changes nothing.
    const QSize room = scroll_->contentsRect().size() - QSize(2 * kFrame + (fitWidth ? scrollBar : 0), 2 * kFrame);
    if (room.width() <= 0 || room.height() <= 0 || paper.isEmpty())
        return;
    QSize page(room.width(), int(room.width() * paper.height() / paper.width()));
    if (!fitWidth && page.height() > room.height())
        page = QSize(int(room.height() * paper.width() / paper.height()), room.height());
    view_->SetPageSize(page);
    view_->resize(room.width() + 2 * kFrame, std::max(room.height(), page.height()) + 2 * kFrame);
    view_->update();
}

bool TPrintPreview::Relayout(const TPrintOptions& options)
{
    auto next = std::make_unique<TPrintDocument>(db_, source_, options);
    note_->clear();
    try {
        TProgressLine::TRun run(progress_, true);
        progress_->RunAside([&] { next->Paginate(); });
    } catch (const ECancelled&) {
        note_->setText(FromUtf8("Laying out the pages was cancelled; they are as before."));
        return false;
    } catch (const std::exception& e) {
        note_->setText(FromUtf8("The pages could not be laid out: %1").arg(FromUtf8(e.what())));
        return false;
    }
    document_ = std::move(next);
    cache_.clear();
    FitPage();
    ShowPage(page_);
    return true;
}

void TPrintPreview::EditOptions()
{
    if (form_)
        return;
    // Beside the pages, not over them: the pages follow each change, and the
    // progress bar's Cancel stays within reach.
    form_ = new TPrintOptionsForm(fieldNames_, this);
    form_->setAttribute(Qt::WA_DeleteOnClose);
    form_->setWindowModality(Qt::NonModal);
    form_->SetOptions(Options());
    for (QPushButton* b : {options_, print_, pdf_})
        b->setEnabled(false);
    connect(form_, &TPrintOptionsForm::Changed, this, [this] {
        if (!Relayout(form_->Options()))
            form_->SetOptions(Options());
    });
    connect(form_, &QDialog::finished, this, [this, before = Options()](int result) {
        const TPrintOptions chosen = form_->Options();
        form_ = nullptr;
        for (QPushButton* b : {options_, print_, pdf_})
            b->setEnabled(true);
        if (result == QDialog::Accepted) {
            if (chosen != Options())
                Relayout(chosen);
            emit OptionsAccepted(Options());
        } else if (Options() != before) {
            Relayout(before);
        }
    });
    form_->show();
    form_->activateWindow();
}

}  // namespace quorvil
