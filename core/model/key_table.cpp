#include "model/key_table.h"

namespace tavrik::model {
namespace {

struct Entry {
    std::uint8_t code;
    std::uint8_t usage;
    const char* name;
};

// Individual keys; they override the letter, digit and F-key rules.
constexpr Entry kEntries[] = {
    {8, 0x2A, "Back "},
    {9, 0x2B, "Tab "},
    {13, 0x28, "Enter "},
    {19, 0x48, "Pause "},
    {20, 0x39, "Caps "},
    {27, 0x29, "Esc "},
    {32, 0x2C, "Space "},
    {33, 0x4B, "PgUp "},
    {34, 0x4E, "PgDn "},
    {35, 0x4D, "End "},
    {36, 0x4A, "Home "},
    {37, 0x50, "Left "},
    {38, 0x52, "Up "},
    {39, 0x4F, "Right "},
    {40, 0x51, "Down "},
    {44, 0x46, "Prscr "},
    {45, 0x49, "Inst "},
    {46, 0x4C, "Del "},
    {48, 0x27, "0"},
    {91, 0xE3, "LWin "},
    {92, 0xE7, "RWin "},
    {93, 0x65, "Apps "},
    {96, 0x62, "0-num "},
    {97, 0x59, "1-num "},
    {98, 0x5A, "2-num "},
    {99, 0x5B, "3-num "},
    {100, 0x5C, "4-num "},
    {101, 0x5D, "5-num "},
    {102, 0x5E, "6-num "},
    {103, 0x5F, "7-num "},
    {104, 0x60, "8-num "},
    {105, 0x61, "9-num "},
    {106, 0x55, "* "},
    {107, 0x57, "+ "},
    {108, 0x58, "Enter "},
    {109, 0x56, "- "},
    {110, 0x63, ". "},
    {111, 0x54, "/ "},
    {144, 0x53, "Num "},
    {145, 0x47, "Scrol "},
    {160, 0xE1, "LShift "},
    {161, 0xE5, "RShift "},
    {162, 0xE0, "LCtrl "},
    {163, 0xE4, "RCtrl "},
    {164, 0xE2, "LAlt "},
    {165, 0xE6, "RAlt "},
    {174, 0xEA, "Volume DOWN "},
    {175, 0xE9, "Volume UP "},
    {179, 0xCD, "Play/Pause"},
    {181, 0x83, "Media "},
    {186, 0x33, "; "},
    {187, 0x2E, "= "},
    {188, 0x36, ", "},
    {189, 0x2D, "- "},
    {190, 0x37, ". "},
    {191, 0x38, "/ "},
    {192, 0x35, "` "},
    {219, 0x2F, "[ "},
    {220, 0x32, "\\ "},
    {221, 0x30, "] "},
    {222, 0x34, "' "},
    {240, 0xF0, "MsLB"},
    {241, 0xF1, "MsRB"},
    {242, 0xF2, "MsMB"},
    {243, 0xF3, ""},
    {244, 0xF4, ""},
    {245, 0xF5, "Mouse Pointer Right"},
    {246, 0xF6, "Mouse Pointer Up"},
    {247, 0xF7, "Mouse pointer Down"},
    {248, 0xF8, "Mouse Wheel Up"},
    {249, 0xF9, "Mouse Wheel Down"},
};

KeyTable buildKeyTable() {
    KeyTable t;
    for (int c = 0; c < kKeyTableSize; ++c) t[c].code = static_cast<std::uint8_t>(c);
    for (int c = 'A'; c <= 'Z'; ++c) {
        t[c].usage = static_cast<std::uint8_t>(c - 61);
        t[c].name = std::string(1, static_cast<char>(c)) + " ";
    }
    t[48] = {48, 0x27, "0"};
    for (int c = '1'; c <= '9'; ++c) {
        t[c].usage = static_cast<std::uint8_t>(c - 19);
        t[c].name = std::string(1, static_cast<char>(c)) + " ";
    }
    for (int c = 112; c <= 123; ++c) {
        t[c].usage = static_cast<std::uint8_t>(c - 54);
        t[c].name = "F" + std::to_string(c - 111) + " ";
    }
    for (const Entry& e : kEntries) t[e.code] = {e.code, e.usage, e.name};
    return t;
}

}  // namespace

const KeyTable& keyTable() {
    static const KeyTable table = buildKeyTable();
    return table;
}

std::uint8_t keyUsage(int code) {
    return code >= 0 && code < kKeyTableSize ? keyTable()[code].usage : 0;
}

std::string_view keyName(int code) {
    return code >= 0 && code < kKeyTableSize ? std::string_view(keyTable()[code].name)
                                             : std::string_view();
}

std::uint8_t codeForUsage(std::uint8_t usage) {
    if (usage == 0) return 0;
    for (const KeyRecord& r : keyTable()) {
        if (r.usage == usage) return r.code;
    }
    return 0;
}

}  // namespace tavrik::model
