// The HTML side of the result view: descriptions in the preview and the
// properties window, the page of the whole result list, links in those
// views, and the web-view options (character set, decoding, colours).

#include <QAction>
#include <QActionGroup>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "core/view/font_charsets.h"
#include "core/view/result_list_page.h"
#include "results/html_inline.h"
#include "results/results_list.h"
#include "results/url_result.h"
#include "support/lang/lang_list.h"
#include "ui/pictures/pictures.h"
#include "ui/result_view/result_view.h"
#include "ui/result_view/result_view_host.h"
#include "ui/result_view/safe_html_view.h"
#include "ui/results_model/results_model.h"

namespace trawler::ui {

namespace {

QFontDatabase::WritingSystem WritingSystemOf(core::view::tScript script) {
    using core::view::tScript;
    switch (script) {
        case tScript::Latin: return QFontDatabase::Latin;
        case tScript::Arabic: return QFontDatabase::Arabic;
        case tScript::Chinese: return QFontDatabase::TraditionalChinese;
        case tScript::Cyrillic: return QFontDatabase::Cyrillic;
        case tScript::Greek: return QFontDatabase::Greek;
        case tScript::Hebrew: return QFontDatabase::Hebrew;
        case tScript::Symbol: return QFontDatabase::Symbol;
        case tScript::Thai: return QFontDatabase::Thai;
        case tScript::Any: break;
    }
    return QFontDatabase::Any;
}

// A dialog that holds one safe HTML view and a Close button.
QDialog* MakeHtmlWindow(QWidget* parent, const QString& title, QTextBrowser*& view) {
    auto* dialog = new QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint);
    dialog->setWindowTitle(title);
    dialog->setMinimumSize(286, 349);
    auto* layout = new QVBoxLayout(dialog);
    view = new QTextBrowser(dialog);
    view->setObjectName(QStringLiteral("hl"));
    MakeSafeHtmlView(*view);
    layout->addWidget(view);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::hide);
    layout->addWidget(buttons);
    return dialog;
}

}  // namespace

core::view::DescribeOptions ResultView::Options() const {
    core::view::DescribeOptions options;
    if (Action(QStringLiteral("d2"))->isChecked())
        options.Decoding = core::view::tDecoding::Koi8r;
    else if (Action(QStringLiteral("d3"))->isChecked())
        options.Decoding = core::view::tDecoding::Cp866;
    options.Translit = Action(QStringLiteral("miRL"))->isChecked();
    return options;
}

std::string ResultView::Describe(const results::tUrlResult& result) const {
    try {
        const std::string words = core::view::HighlightedWords(List(), FHost.SearchInRetrievedOn());
        return core::view::DescribeResult(result, words, Options(), FHost.Lang(),
                                          core::view::EngineLookupOf(FHost.Engines()));
    } catch (...) {
        return {};  // an error gives an empty document
    }
}

QTextBrowser* ResultView::ActiveViewer() const { return FActiveViewer.data(); }
QDialog* ResultView::PropertiesWindow() const { return FPropertiesWindow.data(); }
QDialog* ResultView::ResultsPageWindow() const { return FPageWindow.data(); }

// --- links -----------------------------------------------------------------------------

void ResultView::WireHtmlView(QTextBrowser& view) {
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view, &QWidget::customContextMenuRequested, this, [this, v = &view](const QPoint& pos) {
        FActiveViewer = v;
        FWebViewMenu->popup(v->viewport()->mapToGlobal(pos));
    });
    connect(&view, qOverload<const QUrl&>(&QTextBrowser::highlighted), this, &ResultView::LinkHovered);
    connect(&view, &QTextBrowser::anchorClicked, this, &ResultView::LinkClicked);
}

void ResultView::LinkHovered(const QUrl& url) {
    FHoverUrl = url.isEmpty() ? std::string() : url.toString(QUrl::FullyEncoded).toStdString();
    FHost.ShowStatusText(QString::fromStdString(FHoverUrl));
}

void ResultView::LinkClicked(const QUrl& url) {
    const std::string address = url.toString(QUrl::FullyEncoded).toStdString();
    if (address.empty()) return;
    // A page may link anywhere; only the web and mail schemes go straight to
    // the browser, anything else only when the user says so.
    if (!results::IsLinkableUrl(address) &&
        !FHost.AskYesNo(QStringLiteral("Open this address?\n%1").arg(QString::fromStdString(address)), true))
        return;
    FHost.OpenUrl("", address);
}

// --- web-view options ------------------------------------------------------------------

void ResultView::SetFontCharset(int tag) {
    FCharsetTag = core::view::FontCharsetOfTag(tag).Tag;
    const QList<QAction*> entries = FCharsetGroup->actions();
    if (FCharsetTag < entries.size()) entries.at(FCharsetTag)->setChecked(true);
    if (FActiveViewer) ApplyCharset(*FActiveViewer);
    RerunSelectionHandler();
}

void ResultView::ApplyCharset(QTextBrowser& view) const {
    const QFontDatabase::WritingSystem system =
        WritingSystemOf(core::view::FontCharsetOfTag(FCharsetTag).Script);
    QFont font = view.document()->defaultFont();
    const QString family = font.family();
    if (system != QFontDatabase::Any && !QFontDatabase::writingSystems(family).contains(system)) {
        const QStringList families = QFontDatabase::families(system);
        if (!families.isEmpty()) font.setFamily(families.first());
    }
    view.document()->setDefaultFont(font);
}

QColor ResultView::PreviewBackground() const { return FPreview->palette().color(QPalette::Base); }

QColor ResultView::PreviewFontColor() const { return FPreview->palette().color(QPalette::Text); }

void ResultView::SetPreviewColors(const QColor& background, const QColor& text) {
    QPalette palette = FPreview->palette();
    if (background.isValid()) palette.setColor(QPalette::Base, background);
    if (text.isValid()) palette.setColor(QPalette::Text, text);
    FPreview->setPalette(palette);
}

void ResultView::ChooseColor(bool background) {
    QTextBrowser* view = FActiveViewer ? FActiveViewer.data() : FPreview;
    const QPalette::ColorRole role = background ? QPalette::Base : QPalette::Text;
    const QColor color = QColorDialog::getColor(view->palette().color(role), FWindow);
    if (!color.isValid()) return;
    QPalette palette = view->palette();
    palette.setColor(role, color);
    view->setPalette(palette);
}

void ResultView::ShareLookOfPreview(QTextBrowser& view) const {
    QPalette palette = view.palette();
    palette.setColor(QPalette::Base, PreviewBackground());
    palette.setColor(QPalette::Text, PreviewFontColor());
    view.setPalette(palette);
    view.document()->setDefaultFont(FPreview->document()->defaultFont());
}

// --- properties window and the page of the result list -----------------------------------

void ResultView::ShowProperties() {
    const int first = FirstSelectedRow();
    if (first < 0) return;
    if (!FPropertiesWindow) {
        QTextBrowser* view = nullptr;
        FPropertiesWindow = MakeHtmlWindow(FWindow, QString::fromUtf8(FHost.Lang().CaptionText(343)), view);
        FPropertiesWindow->setObjectName(QStringLiteral("TfrmProperty"));
        FPropertiesWindow->setWindowIcon(Action(QStringLiteral("aItemProperties"))->icon());
        FPropertiesView = view;
        WireHtmlView(*view);
    }
    const results::tUrlResult* result = ResultOfRow(first);
    const QString html = result ? QString::fromUtf8(Describe(*result)) : QString();
    LoadHtml(*FPropertiesView, html);
    LoadHtml(*FPreview, html);
    ShareLookOfPreview(*FPropertiesView);
    if (FPropertiesWindow->isHidden()) FPropertiesWindow->show();
}

void ResultView::ShowResultsPage() {
    if (!FPageWindow) {
        QTextBrowser* view = nullptr;
        FPageWindow = MakeHtmlWindow(FWindow, QString::fromUtf8(FHost.Lang().CaptionText(274)), view);
        FPageWindow->setObjectName(QStringLiteral("TfrmHTMLView"));
        FPageView = view;
        WireHtmlView(*view);
    }
    std::vector<const results::tUrlResult*> rows;
    rows.reserve(static_cast<std::size_t>(RowCount()));
    for (int row = 0; row < RowCount(); ++row) rows.push_back(ResultOfRow(row));
    std::string page;
    for (const std::string& line : core::view::ResultListPage(rows)) page += line + "\n";
    LoadHtml(*FPageView, QString::fromUtf8(page));
    ShareLookOfPreview(*FPageView);
    FPageWindow->show();
    FPageWindow->raise();
}

}  // namespace trawler::ui
