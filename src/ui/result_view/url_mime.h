// A result's address with its title in the formats other programs take from
// the clipboard or a drop: a URL list, the Mozilla "URL and title" form,
// an HTML link and plain text.
#pragma once

#include <QMimeData>

#include <memory>
#include <string>

namespace trawler::ui {

std::unique_ptr<QMimeData> UrlMimeData(const std::string& url, const std::string& title);

}  // namespace trawler::ui
