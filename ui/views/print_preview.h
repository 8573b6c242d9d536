#pragma once
// The pages of a printout before they go to paper or PDF. Only the page in
// view is painted, when it is shown, and a few recent ones are kept: the
// largest databases run to thousands of pages. The options dialog opened
// from here is followed live; the pages are laid out again aside, with a
// progress bar and Cancel of the preview's own.
#include "print_document.h"

#include <QDialog>
#include <QImage>
#include <QStringList>

#include <list>
#include <memory>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;

namespace quorvil {

class TPageView;
class TPrintOptionsForm;
class TProgressLine;

class TPrintPreview : public QDialog {
    Q_OBJECT
public:
    // What the preview was closed for; its Options() are those to use.
    enum TOutcome { Closed = 0, Print, ExportPdf };

    // `document` is laid out already; `db` and `source` must outlive the
    // preview, which lays out new documents from them.
    TPrintPreview(const TJFILE& db, const TPrintSource& source, const QStringList& fieldNames,
                  std::unique_ptr<TPrintDocument> document, QWidget* parent = nullptr);
    ~TPrintPreview() override;

    const TPrintOptions& Options() const;
    // The pages as laid out last, for the printer (the preview shows none after).
    std::unique_ptr<TPrintDocument> TakeDocument() { return std::move(document_); }
    int PageCount() const;
    bool HasPages() const { return document_ && document_->PageCount() > 0; }
    int CurrentPage() const { return page_; }  // from 0
    void ShowPage(int index);
    // The page, painted at `size` device pixels (cached).
    QImage PageImage(int index, QSize size);
    TProgressLine* Progress() const { return progress_; }
    // Opens the options dialog beside the pages: every change lays them out
    // again, Cancel brings the options of before back.
    void EditOptions();

signals:
    // OK in the options dialog: the options to remember.
    void OptionsAccepted(const TPrintOptions& options);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QHBoxLayout* BuildButtons();
    void Connect();
    // Lays the pages out for `options`; false (the pages as before) when
    // cancelled.
    bool Relayout(const TPrintOptions& options);
    void FitPage();
    void ShowCount();

    const TJFILE& db_;
    const TPrintSource& source_;
    QStringList fieldNames_;
    std::unique_ptr<TPrintDocument> document_;
    std::list<std::pair<std::pair<int, QSize>, QImage>> cache_;  // most recent first
    int page_ = 0;
    QScrollArea* scroll_;
    TPageView* view_;
    QLabel* count_;
    QLabel* note_;
    QComboBox* zoom_;
    QPushButton* previous_;
    QPushButton* next_;
    QPushButton* options_;
    QPushButton* print_;
    QPushButton* pdf_;
    QPushButton* close_;
    TProgressLine* progress_;
    TPrintOptionsForm* form_ = nullptr;
};

}  // namespace quorvil
