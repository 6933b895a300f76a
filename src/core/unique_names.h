#pragma once

// Keeps engine captions unique among all engines and site ids unique among the engines of one
// file id while a directory of site files is loaded. A taken name gets the first free
// candidate of name + "_0", name + "_1", ...; names compare ignoring case.
//
// Looking for a free candidate remembers, per name, how far the candidates are known to be
// taken, so thousands of equal captions cost no more than distinct ones (a hostile file with
// one caption repeated cannot make loading quadratic).

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace trawler::core {

class UniqueNames {
public:
    // --- captions, among all engines ---------------------------------------------------
    void AddCaption(std::string_view caption);
    void RemoveCaption(std::string_view caption);
    // The caption itself when no engine has it, else the first free candidate.
    std::string UniqueCaption(std::string_view caption);

    // --- site ids -----------------------------------------------------------------------
    // The file being read starts: its engines are compared by id alone.
    void BeginFile();
    void AddFileSiteId(std::string_view id);
    void RemoveFileSiteId(std::string_view id);
    // The file is read: its engine keys join those of the earlier files.
    void AddFinishedKey(std::string_view engineKey);
    // The id itself when no engine with the same file id has it, else the first free
    // candidate.
    std::string UniqueSiteId(std::string_view fileId, std::string_view id);

private:
    bool CaptionTaken(const std::string &folded) const;
    bool SiteIdTaken(const std::string &foldedFileId, const std::string &foldedId) const;

    std::unordered_map<std::string, int> captions_;        // folded caption -> engines
    std::unordered_map<std::string, long long> captionNext_;  // folded name -> first suffix
                                                              // not known to be taken
    std::unordered_set<std::string> finishedKeys_;          // folded keys of earlier files
    std::unordered_map<std::string, int> fileIds_;          // folded ids in the current file
    std::unordered_map<std::string, long long> idNext_;     // folded file id + "\n" + id
};

}  // namespace trawler::core
