#pragma once

// The program's profile: an INI-style text file of "[Section]" headers and
// "key=value" lines, read and written the way Windows profile files are.
//
// Input is whatever a user or an older version left in the file, so nothing in
// it is fatal: section and key names match case-insensitively (the first match
// wins, as with the Windows profile functions), blanks around names and values
// are ignored, and a line that is neither a header, a comment (";" or "#"), a
// blank line nor "key=value" is not a key but stays in the file verbatim, so
// nothing the user wrote is lost. Untouched lines are written back exactly as
// read; only lines whose value changed are rewritten.
//
// Saving is atomic: the text goes to "<file>.tmp" beside the profile, which
// then replaces the profile by a rename, so a crash leaves the old profile or
// the new one, never half of one. Saving writes this run's changes onto the
// file as it is now, so two instances running at once (or a hand edit made
// meanwhile) keep each other's values: the last to change a key wins, not the
// last to exit. A store without a file (the default) keeps
// everything in memory and saving it does nothing: tests and the command-line
// tool run with "no settings" that way.

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/host_platform.h"

namespace zarnmon {

// Outcome of a file operation; reason says what went wrong when !ok.
struct IoStatus {
    bool ok = true;
    std::string reason;
};

class CSettingsStore {
public:
    // Profiles are small; anything larger is not one of ours.
    static constexpr std::uintmax_t kMaxFileSize = 16U * 1024U * 1024U;

    // Reads path into the store, which is then backed by that file. A missing
    // file gives an empty store (saved later as a new file). A file that cannot
    // be read fails and leaves the store as it was, still not backed by that
    // path, so a later Save() cannot overwrite a profile that was never read.
    [[nodiscard]] IoStatus Load(const std::filesystem::path& path);
    // Writes this run's changes onto the backing file as it is now, and takes
    // the file's other values in; a store in memory has nothing to write.
    [[nodiscard]] IoStatus Save();
    // Writes to path; on success the store is backed by path from then on.
    [[nodiscard]] IoStatus SaveAs(const std::filesystem::path& path);

    // Empty while the store is in memory.
    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

    // Replaces the contents with the profile text (no file is touched).
    void Parse(std::string_view text);
    // The contents as they would be saved.
    [[nodiscard]] std::string Text() const;

    // The value of key in section, nullopt when either is missing.
    [[nodiscard]] std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    [[nodiscard]] std::string GetString(std::string_view section, std::string_view key,
                                        std::string_view fallback) const;
    // A value that does not scan as a number ("%d", "%lf") gives the fallback.
    [[nodiscard]] int GetInt(std::string_view section, std::string_view key, int fallback) const;
    [[nodiscard]] double GetDouble(std::string_view section, std::string_view key, double fallback) const;

    // Adds or replaces a value; a new key goes after the section's last key, a
    // new section at the end. False (nothing changed) for a name or value the
    // file cannot hold: line breaks anywhere, an empty name, "=" in a key, "]"
    // in a section name, or a key that would read back as a comment or header.
    bool SetString(std::string_view section, std::string_view key, std::string_view value);
    bool SetInt(std::string_view section, std::string_view key, int value);
    // Takes key out of section; false when it was not there.
    bool Remove(std::string_view section, std::string_view key);

private:
    enum class LineKind { Header, Entry, Verbatim };
    struct Line {
        LineKind kind = LineKind::Verbatim;
        std::string text;   // as read, or as rebuilt after a change
        std::string name;   // section name (Header) or key (Entry)
        std::string value;  // Entry only
    };

    // A key set or removed since the contents were last read or saved; a
    // removal has no value.
    struct Change {
        std::string section;
        std::string key;
        std::optional<std::string> value;
    };

    void NoteChange(std::string_view section, std::string_view key, std::optional<std::string_view> value);
    // This run's changes replayed onto the profile text as the file holds it now.
    [[nodiscard]] std::string MergedOnto(std::string_view onDisk) const;

    [[nodiscard]] std::optional<std::size_t> FindSection(std::string_view section) const;
    [[nodiscard]] std::optional<std::size_t> FindEntry(std::size_t header, std::string_view key) const;

    std::vector<Line> lines_;
    std::vector<Change> changes_;
    std::filesystem::path path_;
};

// Writes the profile now, when the store has a file: a dialog's OK keeps its
// change even if the program is killed later. A failure is told on errors;
// false then.
bool SaveProfileNow(CSettingsStore& store, std::ostream& errors = std::cerr);

// Values the environment gives for the per-user configuration directory.
struct ConfigEnvironment {
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME
    std::string home;           // $HOME
    std::string appData;        // %APPDATA%
};

// <config dir>/<appName>/<appName>.ini: on Windows under %APPDATA%, elsewhere
// under $XDG_CONFIG_HOME (when absolute) or $HOME/.config; "<appName>.ini" in
// the working directory when the environment names none. Creates nothing.
[[nodiscard]] std::filesystem::path DefaultSettingsPath(std::string_view appName, const ConfigEnvironment& env,
                                                        HostPlatform platform);
// The same, from this process's environment.
[[nodiscard]] std::filesystem::path DefaultSettingsPath(std::string_view appName);

}  // namespace zarnmon
