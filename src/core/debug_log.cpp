#include "core/debug_log.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/engine_list.h"
#include "support/text/dates.h"

namespace trawler::core {

namespace {

void Append(const TEngine &engine, const std::string &text) {
    if (engine.LogFile.empty()) return;
    std::ofstream out(engine.LogFile, std::ios::binary | std::ios::app);
    out << text;
}

std::string NowText() { return text::FormatLocaleDateTime(text::Now()); }

}  // namespace

std::string DebugLogFileName(const std::string &engineKey, const std::string &category,
                             text::TDateTime date) {
    std::string name = engineKey;
    for (char &c : name)
        if (c == '\\' || c == '/' || c == ':' || c == '*' || c == '"' || c == '<' || c == '>' || c == '|')
            c = '_';
    std::string cat = category;
    for (char &c : cat)
        if (c == '\\' || c == '/') c = '_';
    const auto d = text::DecodeDateTime(date);
    return name + "_" + cat + "_" + std::to_string(d.Year) + std::to_string(d.Month) +
           std::to_string(d.Day) + ".htm";
}

void StartDebugLog(TEngineList &list, TEngine &engine) {
    if (!list.Debug) return;
    engine.LogFile = (std::filesystem::path(list.DebugDir) /
                      DebugLogFileName(TEngineList::EngineKey(engine), list.Category, text::Now()))
                         .string();
    std::error_code ec;
    std::filesystem::remove(engine.LogFile, ec);
    std::ofstream out(engine.LogFile, std::ios::binary | std::ios::trunc);
    out << NowText() << " <br>\r\n";
}

void LogRequestRecord(TEngineList &list, TEngine &engine) {
    if (!list.Debug) return;
    const std::string address = engine.Http ? engine.Http->Url : std::string();
    if (engine.Stage == tStage::Presearch) {
        Append(engine, "#Prepare stage <br>" + address + "\r\n");
        return;
    }
    std::string line = "URL: " + address + " <br>";
    if (engine.CgiType == tHttpMethod::Post) line += "QueryString: " + engine.Query + " <br>";
    Append(engine, "#Search stage <br>\r\n" + line + "\r\nResults: <br>\r\n\r\n");
}

void LogResultRecord(TEngineList &list, TEngine &engine, const results::tHit &hit) {
    if (!list.Debug || !list.DebugNeedResult) return;
    std::string record = "Result #" + std::to_string(list.OverallResults) + " <br>\r\n";
    record += "URL: " + hit.Url + " <br>\r\nCaption: " + hit.Title + " <br>\r\n";
    if (hit.Date > 0) record += "Date: " + text::FormatLocaleDateTime(hit.Date) + " <br>\r\n";
    if (hit.Relevance > 0) record += "Relevance: " + std::to_string(hit.Relevance) + " <br>\r\n";
    record += hit.Description + " <br>\r\n";
    Append(engine, record);
}

void LogEndRecord(TEngineList &list, TEngine &engine) {
    if (!list.Debug) return;
    std::string record = "#End Search <br>\r\nCount: " + std::to_string(list.OverallResults) +
                         " of " + std::to_string(engine.TotalCount) + " <br>\r\n";
    if (engine.RequiredCount && engine.TotalCount == 0) record += " Count: ? <br>\r\n";
    record += NowText() + "\r\n";
    Append(engine, record);
}

}  // namespace trawler::core
