#include "core/mainwin/result_set_fields.h"

#include "support/text/integer_text.h"

namespace trawler::mainwin {

namespace {

constexpr int kUnknownPicture = 5;

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    std::size_t next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
    text.remove_prefix(next);
  }
  return lines;
}

}  // namespace

std::string ServerLogFromRows(const std::vector<EngineRow> &rows) {
  std::string log;
  for (const EngineRow &row : rows) {
    if (!log.empty()) log += "\r\n";
    log += std::to_string(row.Picture > epSuspended ? row.Picture : epDone);
    for (const std::string *field : {&row.Received, &row.Total, &row.Transferred, &row.State,
                                     &row.Caption})
      log += "#" + *field;
  }
  return log;
}

std::vector<EngineRow> RowsFromServerLog(std::string_view log) {
  std::vector<EngineRow> rows;
  for (std::string_view line : Lines(log)) {
    if (line.empty()) continue;
    EngineRow row;
    std::string *fields[] = {&row.Received, &row.Total, &row.Transferred, &row.State};
    std::size_t cut = line.find('#');
    row.Picture = text::IntOfText(line.substr(0, cut), kUnknownPicture);
    for (std::string *field : fields) {
      if (cut == std::string_view::npos) break;
      line.remove_prefix(cut + 1);
      cut = line.find('#');
      *field = std::string(line.substr(0, cut));
    }
    if (cut != std::string_view::npos) row.Caption = std::string(line.substr(cut + 1));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string LoadedCategory(const std::string &category,
                           const std::function<bool(std::string_view)> &exists) {
  if (exists(category)) return category;
  return exists("0") ? "0" : std::string();
}

}  // namespace trawler::mainwin
