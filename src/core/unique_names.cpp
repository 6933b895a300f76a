#include "core/unique_names.h"

#include "support/text/case_folding.h"

namespace trawler::core {
namespace {

// When name ends in "_<digits>", the part before and the number; a freed candidate lets the
// search for that part start again at the number.
bool SplitSuffix(const std::string &name, std::string &base, long long &number) {
    const auto underscore = name.rfind('_');
    if (underscore == std::string::npos || underscore + 1 == name.size()) return false;
    const auto digits = name.size() - underscore - 1;
    if (digits > 18) return false;
    number = 0;
    for (std::size_t i = underscore + 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return false;
        number = number * 10 + (name[i] - '0');
    }
    base = name.substr(0, underscore);
    return true;
}

void Lower(std::unordered_map<std::string, long long> &next, const std::string &key, long long n) {
    const auto it = next.find(key);
    if (it != next.end() && it->second > n) it->second = n;
}

}  // namespace

bool UniqueNames::CaptionTaken(const std::string &folded) const {
    const auto it = captions_.find(folded);
    return it != captions_.end() && it->second > 0;
}

void UniqueNames::AddCaption(std::string_view caption) { ++captions_[text::FoldText(caption)]; }

void UniqueNames::RemoveCaption(std::string_view caption) {
    const auto folded = text::FoldText(caption);
    const auto it = captions_.find(folded);
    if (it == captions_.end()) return;
    if (--it->second > 0) return;
    captions_.erase(it);
    std::string base;
    long long number = 0;
    if (SplitSuffix(folded, base, number)) Lower(captionNext_, base, number);
}

std::string UniqueNames::UniqueCaption(std::string_view caption) {
    const auto folded = text::FoldText(caption);
    if (!CaptionTaken(folded)) return std::string(caption);
    long long &next = captionNext_[folded];
    while (CaptionTaken(folded + "_" + std::to_string(next))) ++next;
    return std::string(caption) + "_" + std::to_string(next);
}

void UniqueNames::BeginFile() {
    fileIds_.clear();
    idNext_.clear();
}

void UniqueNames::AddFileSiteId(std::string_view id) { ++fileIds_[text::FoldText(id)]; }

void UniqueNames::RemoveFileSiteId(std::string_view id) {
    const auto folded = text::FoldText(id);
    const auto it = fileIds_.find(folded);
    if (it == fileIds_.end()) return;
    if (--it->second > 0) return;
    fileIds_.erase(it);
    std::string base;
    long long number = 0;
    if (!SplitSuffix(folded, base, number)) return;
    // The hint is kept per file id; a freed id of the current file concerns every one of them.
    const std::string tail = "\n" + base;
    for (auto &[key, value] : idNext_) {
        if (key.size() >= tail.size() && key.compare(key.size() - tail.size(), tail.size(), tail) == 0 &&
            value > number) {
            value = number;
        }
    }
}

void UniqueNames::AddFinishedKey(std::string_view engineKey) { finishedKeys_.insert(text::FoldText(engineKey)); }

bool UniqueNames::SiteIdTaken(const std::string &foldedFileId, const std::string &foldedId) const {
    const auto it = fileIds_.find(foldedId);
    if (it != fileIds_.end() && it->second > 0) return true;
    return finishedKeys_.count(foldedFileId + ":" + foldedId) > 0;
}

std::string UniqueNames::UniqueSiteId(std::string_view fileId, std::string_view id) {
    const auto foldedFile = text::FoldText(fileId);
    const auto folded = text::FoldText(id);
    if (!SiteIdTaken(foldedFile, folded)) return std::string(id);
    long long &next = idNext_[foldedFile + "\n" + folded];
    while (SiteIdTaken(foldedFile, folded + "_" + std::to_string(next))) ++next;
    return std::string(id) + "_" + std::to_string(next);
}

}  // namespace trawler::core
