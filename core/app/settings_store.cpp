#include "core/app/settings_store.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "core/link/scan.h"

namespace zarnmon {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

bool IsStorableSection(std::string_view section) {
    return !section.empty() && Trim(section) == section && !HasLineBreak(section) &&
           section.find(']') == std::string_view::npos;
}

bool IsStorableKey(std::string_view key) {
    return !key.empty() && Trim(key) == key && !HasLineBreak(key) && key.find('=') == std::string_view::npos &&
           key.front() != ';' && key.front() != '#' && key.front() != '[';
}

// errno must be read straight after the failing call.
std::string ErrorText(int error) { return error != 0 ? std::generic_category().message(error) : "unknown error"; }

std::string Quoted(const fs::path& path) { return "\"" + path.string() + "\""; }

IoStatus Failure(std::string reason) { return {false, std::move(reason)}; }

// A profile that is a symbolic link (dotfile managers do that) is replaced at
// the link's target, so the link survives the rename.
fs::path WriteTarget(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        fs::path target = fs::weakly_canonical(path, ec);
        if (!ec) {
            return target;
        }
    }
    return path;
}

IoStatus WriteAtomically(const fs::path& path, std::string_view text) {
    const fs::path target = WriteTarget(path);
    std::error_code ec;
    if (const fs::path dir = target.parent_path(); !dir.empty()) {
        fs::create_directories(dir, ec);
        if (ec) {
            return Failure("cannot create the folder " + Quoted(dir) + ": " + ec.message());
        }
    }
    fs::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return Failure("cannot write " + Quoted(temporary) + ": " + ErrorText(errno));
        }
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        const int error = errno;
        out.close();
        if (out.fail()) {
            fs::remove(temporary, ec);
            return Failure("cannot write " + Quoted(temporary) + ": " + ErrorText(error));
        }
    }
    // The profile may hold nothing secret, but a user who restricted it keeps that.
    if (const auto old = fs::status(target, ec); !ec && fs::exists(old)) {
        fs::permissions(temporary, old.permissions(), fs::perm_options::replace, ec);
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(temporary, ec);
        return Failure("cannot replace " + Quoted(target) + ": " + reason);
    }
    return {};
}

struct ProfileFile {
    IoStatus status;
    bool exists = false;
    std::string text;
};

ProfileFile ReadProfileFile(const fs::path& path) {
    ProfileFile file;
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) {
        return file;
    }
    if (ec) {
        file.status = Failure("cannot read " + Quoted(path) + ": " + ec.message());
        return file;
    }
    if (!fs::is_regular_file(status)) {
        file.status = Failure("cannot read " + Quoted(path) + ": not a regular file");
        return file;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        file.status = Failure("cannot read " + Quoted(path) + ": " + ErrorText(errno));
        return file;
    }
    std::array<char, 65536> chunk{};
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        file.text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
        if (file.text.size() > CSettingsStore::kMaxFileSize) {
            file.status = Failure("cannot read " + Quoted(path) + ": larger than a settings file can be");
            return file;
        }
    }
    if (in.bad()) {
        file.status = Failure("cannot read " + Quoted(path) + ": " + ErrorText(errno));
        return file;
    }
    file.exists = true;
    return file;
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

IoStatus CSettingsStore::Load(const fs::path& path) {
    const ProfileFile file = ReadProfileFile(path);
    if (!file.status.ok) {
        return file.status;
    }
    Parse(file.text);
    path_ = path;
    return {};
}

IoStatus CSettingsStore::Save() {
    if (path_.empty()) {
        return {};
    }
    // A file that is gone or unreadable now has nothing to keep: everything
    // this run holds is written, as on the first save.
    const ProfileFile file = ReadProfileFile(path_);
    const std::string text = file.status.ok && file.exists ? MergedOnto(file.text) : Text();
    IoStatus status = WriteAtomically(path_, text);
    if (status.ok) {
        Parse(text);
    }
    return status;
}

IoStatus CSettingsStore::SaveAs(const fs::path& path) {
    IoStatus status = WriteAtomically(path, Text());
    if (status.ok) {
        path_ = path;
        changes_.clear();
    }
    return status;
}

std::string CSettingsStore::MergedOnto(std::string_view onDisk) const {
    CSettingsStore merged;
    merged.Parse(onDisk);
    for (const Change& change : changes_) {
        if (change.value) {
            merged.SetString(change.section, change.key, *change.value);
        } else {
            merged.Remove(change.section, change.key);
        }
    }
    return merged.Text();
}

void CSettingsStore::NoteChange(std::string_view section, std::string_view key, std::optional<std::string_view> value) {
    const auto same = std::find_if(changes_.begin(), changes_.end(), [&](const Change& change) {
        return EqualsNoCase(change.section, section) && EqualsNoCase(change.key, key);
    });
    std::optional<std::string> stored = value ? std::optional<std::string>(*value) : std::nullopt;
    if (same != changes_.end()) {
        same->value = std::move(stored);
    } else {
        changes_.push_back(Change{std::string(section), std::string(key), std::move(stored)});
    }
}

void CSettingsStore::Parse(std::string_view text) {
    lines_.clear();
    changes_.clear();
    // A byte order mark is no text; an editor may have written several.
    while (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    bool inSection = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        // Every CR before the LF belongs to the line end: keeping one would
        // make it part of the line, and the next save and load would eat it.
        while (raw.ends_with('\r')) {
            raw.remove_suffix(1);
        }
        Line line{LineKind::Verbatim, std::string(raw), {}, {}};
        const std::string_view content = Trim(raw);
        if (content.empty() || content.front() == ';' || content.front() == '#') {
            // blank or comment: kept as it is
        } else if (content.front() == '[') {
            const auto close = content.find(']');
            const std::string_view name =
                close == std::string_view::npos ? std::string_view{} : Trim(content.substr(1, close - 1));
            // Keys under a header that does not read must not join the section before it.
            inSection = !name.empty();
            if (inSection) {
                line.kind = LineKind::Header;
                line.name = name;
            }
        } else if (const auto equals = content.find('='); equals != std::string_view::npos && inSection) {
            const std::string_view key = Trim(content.substr(0, equals));
            if (!key.empty()) {
                line.kind = LineKind::Entry;
                line.name = key;
                line.value = Trim(content.substr(equals + 1));
            }
        }
        lines_.push_back(std::move(line));
    }
}

std::string CSettingsStore::Text() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.text;
        text += '\n';
    }
    return text;
}

std::optional<std::size_t> CSettingsStore::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Header && EqualsNoCase(lines_[i].name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> CSettingsStore::FindEntry(std::size_t header, std::string_view key) const {
    for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != LineKind::Header; ++i) {
        if (lines_[i].kind == LineKind::Entry && EqualsNoCase(lines_[i].name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> CSettingsStore::Find(std::string_view section, std::string_view key) const {
    const auto header = FindSection(section);
    if (!header) {
        return std::nullopt;
    }
    const auto entry = FindEntry(*header, key);
    if (!entry) {
        return std::nullopt;
    }
    return lines_[*entry].value;
}

std::string CSettingsStore::GetString(std::string_view section, std::string_view key, std::string_view fallback) const {
    auto value = Find(section, key);
    return value ? std::move(*value) : std::string(fallback);
}

int CSettingsStore::GetInt(std::string_view section, std::string_view key, int fallback) const {
    const auto value = Find(section, key);
    return value ? ScanInt(*value).value_or(fallback) : fallback;
}

double CSettingsStore::GetDouble(std::string_view section, std::string_view key, double fallback) const {
    const auto value = Find(section, key);
    return value ? ScanDouble(*value).value_or(fallback) : fallback;
}

bool CSettingsStore::SetString(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsStorableSection(section) || !IsStorableKey(key) || HasLineBreak(value)) {
        return false;
    }
    // Blanks around a value do not survive a reading, so they are not stored.
    value = Trim(value);
    const auto header = FindSection(section);
    if (!header) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty()) {
            lines_.push_back(Line{});
        }
        lines_.push_back(Line{LineKind::Header, "[" + std::string(section) + "]", std::string(section), {}});
        lines_.push_back(
            Line{LineKind::Entry, std::string(key) + "=" + std::string(value), std::string(key), std::string(value)});
        NoteChange(section, key, value);
        return true;
    }
    if (const auto entry = FindEntry(*header, key)) {
        Line& line = lines_[*entry];
        if (line.value != value) {
            line.value = value;
            line.text = line.name + "=" + line.value;  // the key keeps the case it was written with
            NoteChange(section, key, value);
        }
        return true;
    }
    std::size_t insertAt = *header + 1;
    for (std::size_t i = *header + 1; i < lines_.size() && lines_[i].kind != LineKind::Header; ++i) {
        if (lines_[i].kind == LineKind::Entry) {
            insertAt = i + 1;
        }
    }
    lines_.insert(
        lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
        Line{LineKind::Entry, std::string(key) + "=" + std::string(value), std::string(key), std::string(value)});
    NoteChange(section, key, value);
    return true;
}

bool CSettingsStore::SetInt(std::string_view section, std::string_view key, int value) {
    return SetString(section, key, std::to_string(value));
}

bool CSettingsStore::Remove(std::string_view section, std::string_view key) {
    const auto header = FindSection(section);
    if (!header) {
        return false;
    }
    bool removed = false;
    // Every copy goes, or the next would be read in its place.
    while (const auto entry = FindEntry(*header, key)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*entry));
        removed = true;
    }
    if (removed) {
        NoteChange(section, key, std::nullopt);
    }
    return removed;
}

bool SaveProfileNow(CSettingsStore& store, std::ostream& errors) {
    const IoStatus saved = store.Save();
    if (!saved.ok) {
        errors << "zarnmon: cannot write the settings " << store.Path() << ": " << saved.reason << '\n';
    }
    return saved.ok;
}

fs::path DefaultSettingsPath(std::string_view appName, const ConfigEnvironment& env, HostPlatform platform) {
    const std::string name(appName);
    const std::string fileName = name + ".ini";
    if (platform == HostPlatform::Windows) {
        if (!env.appData.empty()) {
            return fs::path(env.appData) / name / fileName;
        }
    } else if (!env.xdgConfigHome.empty() && env.xdgConfigHome.front() == '/') {
        // A relative XDG_CONFIG_HOME is invalid and must be ignored.
        return fs::path(env.xdgConfigHome) / name / fileName;
    } else if (!env.home.empty()) {
        return fs::path(env.home) / ".config" / name / fileName;
    }
    return fs::path(fileName);
}

fs::path DefaultSettingsPath(std::string_view appName) {
    const ConfigEnvironment env{EnvironmentValue("XDG_CONFIG_HOME"), EnvironmentValue("HOME"),
                                EnvironmentValue("APPDATA")};
    return DefaultSettingsPath(appName, env, kHostPlatform);
}

}  // namespace zarnmon
