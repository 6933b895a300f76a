#include "ui/result_view/safe_html_view.h"

#include <QTextBrowser>
#include <QUrl>

namespace trawler::ui {

QVariant SafeHtmlDocument::loadResource(int, const QUrl&) {
    // Pictures stay off and nothing else is fetched: the base class would ask
    // the view, which reads local files, and a page's text must never make
    // the program open a file or an address.
    return {};
}

void MakeSafeHtmlView(QTextBrowser& view) {
    view.setDocument(new SafeHtmlDocument(&view));
    view.setOpenLinks(false);
    view.setOpenExternalLinks(false);
    view.setSearchPaths({});
    view.setUndoRedoEnabled(false);
    view.setReadOnly(true);
    QPalette palette = view.palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    view.setPalette(palette);
}

void LoadHtml(QTextBrowser& view, const QString& html) {
    view.document()->setHtml(html);
}

}  // namespace trawler::ui
