// HTML views that show untrusted page text: nothing is ever fetched for a
// page (no remote picture, no style sheet), and links are not followed by
// the view itself; the owner decides what a click does.
#pragma once

#include <QString>
#include <QTextDocument>

class QTextBrowser;

namespace trawler::ui {

// A document that loads no resource at all.
class SafeHtmlDocument : public QTextDocument {
    Q_OBJECT
public:
    explicit SafeHtmlDocument(QObject* parent = nullptr) : QTextDocument(parent) {}

protected:
    QVariant loadResource(int type, const QUrl& name) override;
};

// Gives the browser a SafeHtmlDocument, turns off its own link following and
// history, and white background as the classic preview had.
void MakeSafeHtmlView(QTextBrowser& view);

// Loads an HTML text (built by the program, with untrusted parts escaped).
void LoadHtml(QTextBrowser& view, const QString& html);

}  // namespace trawler::ui
