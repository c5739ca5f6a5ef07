#include "duplicate_members.h"

#include <cstdint>
#include <set>
#include <vector>

namespace tavrik::ctl {
namespace {

struct Frame {
    bool object = false;
    std::string path;
    std::set<std::string> names;  // object: the member names so far
    std::string lastName;         // object: the member being read
    bool expectName = true;       // object: the next string is a member name
    int index = 0;                // array: the element being read
};

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

class Scanner {
public:
    explicit Scanner(QByteArrayView json) : m_json(json) {}

    std::optional<std::string> run() {
        std::vector<Frame> stack;
        while (m_at < m_json.size()) {
            const char c = m_json[m_at];
            if (c == '{' || c == '[') {
                Frame f;
                f.object = c == '{';
                f.path = stack.empty() ? std::string() : childPath(stack.back());
                stack.push_back(std::move(f));
                ++m_at;
            } else if (c == '}' || c == ']') {
                if (!stack.empty()) stack.pop_back();
                ++m_at;
            } else if (c == ',') {
                if (!stack.empty()) {
                    if (stack.back().object) {
                        stack.back().expectName = true;
                    } else {
                        ++stack.back().index;
                    }
                }
                ++m_at;
            } else if (c == '"') {
                std::string text = readString();
                if (!stack.empty() && stack.back().object && stack.back().expectName) {
                    Frame& f = stack.back();
                    f.expectName = false;
                    f.lastName = text;
                    if (!f.names.insert(std::move(text)).second) return childPath(f);
                }
            } else {
                ++m_at;  // blanks, ':', numbers, true, false, null
            }
        }
        return std::nullopt;
    }

private:
    static std::string childPath(const Frame& parent) {
        if (!parent.object) return parent.path + "[" + std::to_string(parent.index) + "]";
        return parent.path.empty() ? parent.lastName : parent.path + "." + parent.lastName;
    }

    std::uint32_t readHex4() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4 && m_at < m_json.size(); ++i, ++m_at) {
            v = (v << 4) | std::uint32_t(hexValue(m_json[m_at]));
        }
        return v;
    }

    // Reads the string starting at the opening quote and returns it decoded (UTF-8).
    std::string readString() {
        std::string out;
        ++m_at;
        while (m_at < m_json.size() && m_json[m_at] != '"') {
            const char c = m_json[m_at++];
            if (c != '\\' || m_at >= m_json.size()) {
                out += c;
                continue;
            }
            const char e = m_json[m_at++];
            switch (e) {
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    std::uint32_t cp = readHex4();
                    const bool high = cp >= 0xD800 && cp < 0xDC00;
                    if (high && m_at + 6 <= m_json.size() && m_json[m_at] == '\\' &&
                        m_json[m_at + 1] == 'u') {
                        const qsizetype back = m_at;
                        m_at += 2;
                        const std::uint32_t low = readHex4();
                        if (low >= 0xDC00 && low < 0xE000) {
                            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                        } else {
                            m_at = back;
                        }
                    }
                    appendUtf8(out, cp);
                    break;
                }
                default:
                    out += e;  // '"', '\\', '/'
            }
        }
        ++m_at;  // the closing quote
        return out;
    }

    QByteArrayView m_json;
    qsizetype m_at = 0;
};

}  // namespace

std::optional<std::string> firstDuplicateMember(QByteArrayView json) {
    return Scanner(json).run();
}

}  // namespace tavrik::ctl
