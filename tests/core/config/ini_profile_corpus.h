#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::test {

// One change a save makes to a settings file: a key written, or a whole
// section erased (no key).
struct ProfileWrite {
    std::string section;
    std::optional<std::string> key;
    std::string value;
};

// A settings file as a person might have edited it, and one write into it.
struct HandEditedIni {
    std::string text;
    ProfileWrite write;
};

// The same files for the same seed: made of the lines hand edits leave
// (headers without their bracket, comments, stray blanks and quotes,
// duplicates, mixed line ends), over the names the program reads.
std::vector<HandEditedIni> HandEditedInis(std::uint32_t seed, std::size_t count);

// Every section name the files use, in the spellings they use it.
const std::vector<std::string>& CorpusSectionNames();
// Key names every section is asked for, whether it holds them or not.
const std::vector<std::string>& CorpusKeyNames();

} // namespace pelmora::test
