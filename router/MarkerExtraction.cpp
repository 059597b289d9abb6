#include "router/MarkerExtraction.h"

#include "base/SjisText.h"

namespace velmo {

bool ExtractBetween(std::string& value, std::string_view page, std::span<const MarkerPair> pairs,
                    std::size_t startAt, std::size_t* resumeAt) {
    for (const MarkerPair& pair : pairs) {
        std::size_t found = SjisFind(page, pair.start, startAt);
        if (found == npos) {
            continue;
        }
        const std::size_t a = found + pair.start.size();
        // Only the first start marker counts: without an end marker after it
        // the pair fails, even if the start marker occurs again further on.
        std::size_t end = SjisFind(page, pair.end, a);
        if (end == npos) {
            continue;
        }
        value = SjisTrim(page.substr(a, end - a));
        if (resumeAt != nullptr) {
            *resumeAt = end + pair.end.size();
        }
        return true;
    }
    return false;
}

bool TranslateWord(std::string& text, std::span<const WordPair> table) {
    for (const WordPair& pair : table) {
        if (text == pair.word) {
            text = pair.replacement;
            return true;
        }
    }
    return false;
}

}  // namespace velmo
