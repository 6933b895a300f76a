#include "ui/result_view/url_mime.h"

#include <QUrl>

#include "core/view/html_escape.h"

namespace trawler::ui {

std::unique_ptr<QMimeData> UrlMimeData(const std::string& url, const std::string& title) {
    auto data = std::make_unique<QMimeData>();
    const QString address = QString::fromUtf8(url);
    const QString name = QString::fromUtf8(title);
    const QUrl parsed(address, QUrl::TolerantMode);
    if (parsed.isValid()) data->setUrls({parsed});
    data->setText(address);
    // text/x-moz-url is UTF-16: the address, a line break and the title.
    const QString mozilla = address + QLatin1Char('\n') + name;
    data->setData(QStringLiteral("text/x-moz-url"),
                  QByteArray(reinterpret_cast<const char*>(mozilla.utf16()),
                             mozilla.size() * static_cast<qsizetype>(sizeof(char16_t))));
    data->setHtml(QStringLiteral("<a href=\"%1\">%2</a>")
                      .arg(QString::fromStdString(core::view::EscapeHtmlAttribute(url)),
                           QString::fromStdString(core::view::EscapeHtmlText(title))));
    return data;
}

}  // namespace trawler::ui
