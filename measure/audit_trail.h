#pragma once
// The audit trail: for every recorded jump one JSON line in the audit file
// beside the results file (the results file's name + ".audit.jsonl"), so a
// records committee can re-check the jump later (rampsight-cli audit). The
// line names the video with its SHA-256, the frame and the hash of the
// picture measured, the impact point, the grid's set-up file with its hash
// and coefficients, the survey point, the full-precision distance, the
// recorded texts, the uncertainty, the camera-moved figure and the program
// version.
//
// The video is hashed on the hasher's worker, so the operator never waits;
// the line is appended (and flushed) when its hash is ready, in the order
// the jumps were recorded. finish() and the destructor wait for every hash
// asked for and write its line, so closing the program loses none. Should
// the program end without its destructor (a crash, a power cut), each line
// waiting is kept, flushed, in "<audit file>.pending" until it is written;
// the next recording into that audit file first appends those lines (their
// video hash null, with the reason), each once: lines carry an id.

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/logs.h"
#include "grid/grid_solution.h"
#include "measure/jump_recording.h"
#include "platform/file_hasher.h"
#include "platform/file_writer.h"

namespace rs {

inline constexpr const char* kAuditFileSuffix = ".audit.jsonl";

// "<results file>.audit.jsonl".
std::string audit_file_path(const std::string& results_file_path);
// "<audit file>.pending": lines waiting for their video's hash.
std::string pending_audit_path(const std::string& results_file_path);

// What the screen knew when the jump was recorded, beside the RecordedJump.
struct AuditFacts {
    std::string results_file_path;
    // The video and frame the picture was taken from; empty and nothing for
    // a picture from the clipboard, a snapshot or a picture file.
    std::string video_path;
    std::optional<std::int64_t> frame;
    // The picture measured: its file, or its bytes when it has no file.
    std::string picture_path;
    std::string picture_bytes;
    // The grid measured with: the working values and its set-up file.
    std::array<double, 8> coefficients{};
    double jump_x = 0;
    double jump_y = 0;
    std::string setup_file;
    JumpKind kind = JumpKind::Normal;
};

// Everything one line holds.
struct AuditRecord {
    std::string id;  // 16 hexadecimal digits, new for each jump
    RecordedJump jump;
    AuditFacts facts;
    std::optional<std::string> video_sha256;
    std::string video_error;
    std::optional<std::string> picture_sha256;
    std::optional<std::string> setup_sha256;
    std::string program_version;
};

// The JSON line, without its line end. Numbers in the shortest form that
// reads back as the same double; absent values are null.
std::string audit_line(const AuditRecord& record);

// "normal", "sitski", "barefoot": the tournament type's words.
std::string jump_kind_word(JumpKind kind);

class AuditTrail {
  public:
    AuditTrail(FileWriter& files, FileHasher& hasher, DebugLog& log, std::string program_version);
    ~AuditTrail();
    AuditTrail(const AuditTrail&) = delete;
    AuditTrail& operator=(const AuditTrail&) = delete;

    // Hashes the picture and the set-up file now, the video on the worker;
    // the line follows when the video's hash is ready.
    void add(const RecordedJump& jump, AuditFacts facts);
    // Waits for every hash and writes every line still waiting.
    void finish();
    // Lines not written yet: waiting for their video's hash, or behind one
    // that is.
    int waiting() const { return static_cast<int>(queue_.size()); }

  private:
    struct Entry {
        AuditRecord record;
        bool ready = false;
    };
    void write_ready();
    void write(const AuditRecord& record);
    // Rewrites the pending file of a results file from the queue.
    void keep_pending(const std::string& results_file_path);
    // Appends the lines an earlier run left pending, once each.
    void recover(const std::string& results_file_path);

    FileWriter& files_;
    FileHasher& hasher_;
    DebugLog& log_;
    std::string version_;
    std::deque<std::shared_ptr<Entry>> queue_;  // in the order recorded
    std::set<std::string> recovered_;           // results files looked at
};

}  // namespace rs
