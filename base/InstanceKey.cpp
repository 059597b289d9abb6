#include "base/InstanceKey.h"

#include <cstdint>
#include <cstdio>

namespace velmo {

namespace {

// One spelling per folder: back slashes, upper-case ASCII, no separator at the end.
std::string NormalisedFolder(const std::string& folder) {
    std::string normal;
    normal.reserve(folder.size());
    for (char c : folder) {
        if (c == '/') {
            c = '\\';
        } else if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        normal += c;
    }
    while (!normal.empty() && normal.back() == '\\') {
        normal.pop_back();
    }
    return normal;
}

// 64-bit FNV-1a: short, stable across builds and platforms.
std::uint64_t Fnv1a64(const std::string& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

}  // namespace

std::string InstanceKey(const std::string& folderUtf8) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx",
                  static_cast<unsigned long long>(Fnv1a64(NormalisedFolder(folderUtf8))));
    return std::string("VelmoTool-") + hex;
}

}  // namespace velmo
