#include "reg_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "cp936.h"

namespace tavrin {

namespace {

constexpr const char* kHeader = "REGEDIT4";
constexpr const char* kLocalMachineName = "HKEY_LOCAL_MACHINE";
constexpr const char* kCurrentUserName = "HKEY_CURRENT_USER";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool EqualsAsciiNoCase(const std::string& a, const char* b) {
    return cp936::EqualsNoCase(a, std::string(b));
}

// The file's lines without their line ends; a final line end starts no
// line of its own. An empty text is one empty line.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size() || lines.empty()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// True when the text's last character is `c` on its own, not the trail byte
// of a double-byte character.
bool EndsWithOwnChar(const std::string& text, char c) {
    std::size_t last = std::string::npos;
    cp936::ForEachChar(text, [&](std::size_t i, std::size_t n) { last = n == 1 ? i : std::string::npos; });
    return last != std::string::npos && text[last] == c;
}

// A key path below a root: levels separated by single "\", one trailing "\"
// allowed.
bool IsKeyPath(std::string path) {
    cp936::RemoveTrailingBackslash(path);
    if (path.empty()) return true;
    bool ok = true;
    bool levelEmpty = true;
    cp936::ForEachChar(path, [&](std::size_t i, std::size_t n) {
        if (n == 1 && path[i] == '\\') {
            if (levelEmpty) ok = false;
            levelEmpty = true;
        } else {
            levelEmpty = false;
        }
    });
    return ok && !levelEmpty;
}

class Loader {
public:
    Loader(MemoryRegistry& registry, RegFileError& error) : registry_(registry), error_(error), key_(registry) {}

    bool Run(const std::string& text) {
        lines_ = SplitLines(text);
        for (line_ = 0; line_ < lines_.size(); ++line_) {
            const std::string& line = lines_[line_];
            if (line.find('\0') != std::string::npos) return Fail("NUL byte in the line");
            if (line_ == 0) {
                if (Trimmed(line) != kHeader) return Fail("the first line must be REGEDIT4");
                continue;
            }
            std::size_t p = 0;
            while (p < line.size() && IsBlank(line[p])) ++p;
            if (p == line.size() || line[p] == ';') continue;
            if (line[p] == '[') {
                if (!Section(Trimmed(line.substr(p)))) return false;
            } else if (line[p] == '"' || line[p] == '@') {
                if (!Value(p)) return false;
            } else {
                return Fail("expected a [key], a value or a comment");
            }
        }
        return true;
    }

private:
    static std::string Trimmed(const std::string& text) {
        std::size_t end = text.size();
        while (end > 0 && IsBlank(text[end - 1])) --end;
        return text.substr(0, end);
    }

    bool Fail(const std::string& reason) {
        error_.line = static_cast<int>(line_) + 1;
        error_.reason = reason;
        return false;
    }

    // "[ROOT\path]" or "[-ROOT\path]", trailing blanks removed.
    bool Section(const std::string& text) {
        key_.Reset();
        if (!EndsWithOwnChar(text, ']')) return Fail("a key line must end with ']'");
        std::string inner = text.substr(1, text.size() - 2);
        const bool remove = !inner.empty() && inner[0] == '-';
        if (remove) inner.erase(0, 1);
        std::string rootName = inner;
        std::string path;
        std::size_t slash = std::string::npos;
        cp936::ForEachChar(inner, [&](std::size_t i, std::size_t n) {
            if (slash == std::string::npos && n == 1 && inner[i] == '\\') slash = i;
        });
        if (slash != std::string::npos) {
            rootName = inner.substr(0, slash);
            path = inner.substr(slash + 1);
        }
        RegRoot root;
        if (EqualsAsciiNoCase(rootName, kLocalMachineName) || EqualsAsciiNoCase(rootName, "HKLM")) {
            root = RegRoot::LocalMachine;
        } else if (EqualsAsciiNoCase(rootName, kCurrentUserName) || EqualsAsciiNoCase(rootName, "HKCU")) {
            root = RegRoot::CurrentUser;
        } else {
            return Fail("unknown root key '" + rootName + "'");
        }
        if (!IsKeyPath(path)) return Fail("malformed key path (empty level)");
        cp936::RemoveTrailingBackslash(path);
        if (remove) {
            if (path.empty()) return Fail("a root key cannot be removed");
            registry_.DeleteTree(root, path);  // a missing key is no error
            return true;
        }
        // The key stays open for the section's values: no walk from the root
        // per value.
        RegHandle rootKey = 0;
        registry_.OpenRoot(root, rootKey);
        const RegStatus status = registry_.CreateKey(rootKey, path, key_.Receive());
        if (status != RegStatus::Ok) {
            return Fail("cannot create the key (" + std::string(status == RegStatus::AccessDenied
                                                                    ? "access denied"
                                                                    : "path too deep") + ")");
        }
        return true;
    }

    // A quoted text starting at line[p] == '"'; p ends after the closing quote.
    bool Quoted(const std::string& line, std::size_t& p, std::string& out) {
        out.clear();
        ++p;
        while (p < line.size()) {
            const std::size_t n = cp936::CharLength(line, p);
            if (n == 2) {
                out.append(line, p, 2);
                p += 2;
                continue;
            }
            const char c = line[p];
            if (c == '"') {
                ++p;
                return true;
            }
            if (c == '\\') {
                if (p + 1 >= line.size()) break;
                const char next = line[p + 1];
                if (next != '\\' && next != '"') return Fail(std::string("unknown escape '\\") + next + "'");
                out += next;
                p += 2;
                continue;
            }
            out += c;
            ++p;
        }
        return Fail("missing closing '\"'");
    }

    bool OnlyBlanksFrom(const std::string& line, std::size_t p) {
        while (p < line.size() && IsBlank(line[p])) ++p;
        return p == line.size();
    }

    bool Value(std::size_t p) {
        if (!key_.IsOpen()) return Fail("a value outside of a [key] section");
        const std::string& line = lines_[line_];
        std::string name;
        if (line[p] == '@') {
            ++p;
        } else if (!Quoted(line, p, name)) {
            return false;
        }
        while (p < line.size() && IsBlank(line[p])) ++p;
        if (p == line.size() || line[p] != '=') return Fail("expected '=' after the value name");
        ++p;
        while (p < line.size() && IsBlank(line[p])) ++p;
        const std::string rest = line.substr(p);

        if (rest.compare(0, 1, "-") == 0) {
            if (!OnlyBlanksFrom(line, p + 1)) return Fail("unexpected text after '-'");
            registry_.DeleteValue(key_.Get(), name);  // a missing value is no error
            return true;
        }
        if (rest.compare(0, 1, "\"") == 0) {
            std::string text;
            if (!Quoted(line, p, text)) return false;
            if (!OnlyBlanksFrom(line, p)) return Fail("unexpected text after the closing '\"'");
            text += '\0';
            return Set(name, kRegSz, text);
        }
        if (rest.compare(0, 6, "dword:") == 0) {
            std::uint32_t number = 0;
            std::size_t q = p + 6;
            std::size_t digits = 0;
            for (; q < line.size() && HexDigit(line[q]) >= 0; ++q, ++digits) {
                number = (number << 4) | static_cast<std::uint32_t>(HexDigit(line[q]));
            }
            if (digits == 0 || digits > 8) return Fail("dword: takes 1 to 8 hex digits");
            if (!OnlyBlanksFrom(line, q)) return Fail("unexpected text after the dword");
            std::string data(4, '\0');
            for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
            return Set(name, kRegDword, data);
        }
        if (rest.compare(0, 4, "hex:") == 0) return Hex(name, kRegBinary, p + 4);
        if (rest.compare(0, 4, "hex(") == 0) {
            std::uint32_t type = 0;
            std::size_t q = p + 4;
            std::size_t digits = 0;
            for (; q < line.size() && HexDigit(line[q]) >= 0; ++q, ++digits) {
                type = (type << 4) | static_cast<std::uint32_t>(HexDigit(line[q]));
            }
            if (digits == 0 || digits > 8 || line.compare(q, 2, "):") != 0) {
                return Fail("hex(N): takes a type of 1 to 8 hex digits");
            }
            return Hex(name, type, q + 2);
        }
        return Fail("unknown value data (expected \"text\", dword:, hex: or hex(N):)");
    }

    // Comma-separated hex bytes from line[p]; after a comma, "\" at the end of
    // the line continues the data on the next line.
    bool Hex(const std::string& name, std::uint32_t type, std::size_t p) {
        std::string data;
        const std::string* line = &lines_[line_];
        while (p < line->size() && IsBlank((*line)[p])) ++p;
        if (p < line->size()) {
            while (true) {
                int high = p < line->size() ? HexDigit((*line)[p]) : -1;
                if (high < 0) return Fail("expected a hex byte");
                ++p;
                const int low = p < line->size() ? HexDigit((*line)[p]) : -1;
                if (low >= 0) {
                    high = high * 16 + low;
                    ++p;
                }
                data += static_cast<char>(high);
                while (p < line->size() && IsBlank((*line)[p])) ++p;
                if (p == line->size()) break;
                if ((*line)[p] != ',') return Fail("expected ',' between hex bytes");
                ++p;
                while (p < line->size() && IsBlank((*line)[p])) ++p;
                if (p == line->size()) break;  // a trailing comma ends the data
                if ((*line)[p] == '\\') {
                    if (!OnlyBlanksFrom(*line, p + 1)) return Fail("unexpected text after '\\'");
                    if (line_ + 1 >= lines_.size()) return Fail("hex data continues past the end of the file");
                    ++line_;
                    line = &lines_[line_];
                    if (line->find('\0') != std::string::npos) return Fail("NUL byte in the line");
                    p = 0;
                    while (p < line->size() && IsBlank((*line)[p])) ++p;
                }
            }
        }
        return Set(name, type, data);
    }

    bool Set(const std::string& name, std::uint32_t type, const std::string& data) {
        registry_.SetValue(key_.Get(), name, type, data);
        return true;
    }

    MemoryRegistry& registry_;
    RegFileError& error_;
    std::vector<std::string> lines_;
    std::size_t line_ = 0;
    RegKey key_;  // the key of the current section; closed outside of one
};

// Data that regedit reads back from "..." unchanged: one final zero, no
// other zero, no line break, and no lead byte right before the zero (in
// quotes it would take the closing quote with it).
bool IsQuotableText(const std::string& data) {
    if (data.empty() || data.back() != '\0' || data.find('\0') != data.size() - 1 ||
        data.find_first_of("\r\n") != std::string::npos) {
        return false;
    }
    const std::string text = data.substr(0, data.size() - 1);
    bool endsInLoneLeadByte = false;
    cp936::ForEachChar(text, [&](std::size_t i, std::size_t n) {
        endsInLoneLeadByte = n == 1 && cp936::IsLeadByte(static_cast<unsigned char>(text[i]));
    });
    return !endsInLoneLeadByte;
}

std::string Quote(const std::string& text) {
    std::string out = "\"";
    cp936::ForEachChar(text, [&](std::size_t i, std::size_t n) {
        if (n == 1 && (text[i] == '\\' || text[i] == '"')) out += '\\';
        out.append(text, i, n);
    });
    out += '"';
    return out;
}

std::string ExportValue(const RegValue& value) {
    std::string line = value.name.empty() ? std::string("@") : Quote(value.name);
    line += '=';
    if (value.type == kRegSz && IsQuotableText(value.data)) {
        line += Quote(value.data.substr(0, value.data.size() - 1));
    } else if (value.type == kRegDword && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(value.data[i]);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(number));
        line += text;
    } else {
        char prefix[24];
        if (value.type == kRegBinary) {
            std::snprintf(prefix, sizeof prefix, "hex:");
        } else {
            std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
        }
        line += prefix;
        char byte[4];
        for (std::size_t i = 0; i < value.data.size(); ++i) {
            std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(value.data[i]));
            if (i > 0) line += ',';
            line += byte;
        }
    }
    return line + "\r\n";
}

}  // namespace

std::string RegFileError::Text() const {
    if (line == 0) return reason;
    return "line " + std::to_string(line) + ": " + reason;
}

bool LoadRegText(const std::string& text, MemoryRegistry& registry, RegFileError& error) {
    error = RegFileError{};
    Loader loader(registry, error);
    return loader.Run(text);
}

bool LoadRegFile(const std::string& path, MemoryRegistry& registry, RegFileError& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = RegFileError{0, "cannot open " + path};
        return false;
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return LoadRegText(bytes.str(), registry, error);
}

std::string ExportRegText(const MemoryRegistry& registry, RegRoot root, const std::string& path) {
    const char* rootName = root == RegRoot::LocalMachine ? kLocalMachineName : kCurrentUserName;
    std::string out = std::string(kHeader) + "\r\n";
    registry.ForEachKey(root, path, [&](const std::string& keyPath, const std::vector<RegValue>& values, bool) {
        out += "\r\n[" + std::string(rootName);
        if (!keyPath.empty()) out += "\\" + keyPath;
        out += "]\r\n";
        for (const RegValue& value : values) out += ExportValue(value);
    });
    return out;
}

}  // namespace tavrin
