#pragma once
// The simulator's end of the serial line: a pseudo-terminal whose slave the console opens as a
// COM port through a com<N> link in the links folder.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <variant>

namespace sim {

class PtyLine {
  public:
    // A new pty, master non-blocking, slave raw. The slave stays open in this object as well, so
    // the master never sees a hang-up when the console closes the port. Throws
    // std::runtime_error when the system refuses.
    PtyLine();
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // Writes all of `bytes` to the console's side. The console reads its port every few
    // milliseconds, so a full line means nobody has the port open: the unread bytes are thrown
    // away then, as a real line would lose them. Returns false if the bytes could not be written.
    bool Write(std::span<const unsigned char> bytes);

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// A com<N> link to the line, removed on destruction if it still points there.
class ComLink {
  public:
    // Links `target` as com<com> in `folder` (created if missing). With no `com`, takes the first
    // number from 90 up that has neither a live link nor a kernel serial device. A link whose
    // target is gone is left over from an earlier run and is replaced. The result holds the link,
    // or a message saying why there is none.
    static std::variant<ComLink, std::string>
    Create(const std::filesystem::path& folder, std::optional<int> com, const std::string& target);

    ComLink(ComLink&& other) noexcept;
    ComLink& operator=(ComLink&&) = delete;
    ComLink(const ComLink&) = delete;
    ~ComLink();

    int com() const { return com_; }
    const std::filesystem::path& path() const { return path_; }

  private:
    ComLink(int com, std::filesystem::path path, std::string target)
        : com_(com), path_(std::move(path)), target_(std::move(target)) {}

    int com_ = 0;
    std::filesystem::path path_;
    std::string target_;
};

} // namespace sim
