// rampsight-cli audit FILE: re-checks every jump of an audit file (the
// results file's name + ".audit.jsonl"). Each jump's distance is computed
// again from its set-up file, whose SHA-256 must be the one recorded; where
// the video is still there its SHA-256 is compared and the frame measured is
// extracted again and its picture hash compared. Prints for each jump
// whether it reproduces; exit status 1 when one does not.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <random>

#include "cli/cli_args.h"
#include "cli/command_registry.h"
#include "cli/setup_input.h"
#include "core/text_lines.h"
#include "grid/grid_file.h"
#include "grid/grid_solution.h"
#include "platform/ffmpeg_video_file.h"
#include "platform/file_reader.h"
#include "platform/file_writer.h"
#include "platform/qt_file_hasher.h"
#include "video/frame_extraction.h"

namespace rs::cli {

namespace {

namespace fs = std::filesystem;

// The recomputed distance may differ from the recorded one only in the last
// digits: a grid accepted and measured at once holds coefficients to every
// bit, its set-up file to 15 significant digits.
constexpr double kDistanceTolerance = 1e-6;  // meters

std::string str(const QJsonValue& v) {
    return v.toString().toStdString();
}

struct Check {
    bool ok = true;
    std::vector<std::string> notes;
    void fail(const std::string& why) {
        ok = false;
        notes.push_back(why);
    }
    void note(const std::string& what) { notes.push_back(what); }
};

std::optional<JumpKind> kind_of(const std::string& word) {
    if (word == "normal")
        return JumpKind::Normal;
    if (word == "sitski")
        return JumpKind::SitSki;
    if (word == "barefoot")
        return JumpKind::Barefoot;
    return std::nullopt;
}

void check_distance(const QJsonObject& j, FileHasher& hasher, Check& c) {
    if (j["distance_m"].isNull()) {
        c.note("no distance recorded (" + str(j["result"]) + ")");
        return;
    }
    const std::string setup = str(j["setup_file"]);
    if (setup.empty()) {
        c.fail("no set-up file recorded: the distance cannot be computed again");
        return;
    }
    const auto read = read_setup_file(setup);
    if (!read.value) {
        c.fail("set-up file cannot be read: " + read.error);
        return;
    }
    const HashResult h = hasher.hash_file(setup);
    if (!h.ok() || h.sha256 != str(j["setup_sha256"]))
        c.fail("set-up file " + setup + " has changed since the jump (SHA-256 differs)");
    const QJsonArray impact = j["impact_twips"].toArray();
    const auto kind = kind_of(str(j["tournament_type"]));
    if (impact.size() != 2 || !kind) {
        c.fail("the impact point or tournament type is missing");
        return;
    }
    GridDefinition g;
    g.corners = read.value->corners;
    g.c = read.value->c;
    g.jump_x = read.value->jump_x;
    g.jump_y = read.value->jump_y;
    const double recorded = j["distance_m"].toDouble();
    const auto now = distance_calculation(g, impact[0].toDouble(), impact[1].toDouble(), *kind);
    if (!now) {
        c.fail("the impact point has no distance with the set-up file now");
        return;
    }
    if (std::fabs(now->distance - recorded) > kDistanceTolerance) {
        c.fail("distance differs: recorded " + json_number(recorded) + " m, now " +
               json_number(now->distance) + " m from " + setup);
        return;
    }
    c.note("distance " + json_number(recorded) + " m computed again from " + setup);
}

// A path in the temporary folder for the frame extracted again.
std::string temporary_bitmap() {
    std::random_device rd;
    return (fs::temp_directory_path() /
            ("rampsight-audit-" + std::to_string(rd()) + "-" + std::to_string(rd()) + ".bmp"))
        .string();
}

void check_video(const QJsonObject& j, FileHasher& hasher, FileWriter& files, Check& c) {
    const std::string video = str(j["video"]);
    if (video.empty()) {
        c.note("picture not taken from a video: not checked");
        return;
    }
    if (!is_regular_file(video)) {
        c.note("video " + video + " no longer there: picture not checked");
        return;
    }
    const HashResult h = hasher.hash_file(video);
    if (!h.ok()) {
        c.fail("video cannot be read: " + h.error);
        return;
    }
    if (j["video_sha256"].isNull()) {
        c.note("video had no hash recorded (" + str(j["video_error"]) + ")");
    } else if (h.sha256 != str(j["video_sha256"])) {
        c.fail("video " + video + " has changed since the jump (SHA-256 differs)");
    }
    if (!j["frame"].isDouble() || str(j["picture_sha256"]).empty()) {
        c.fail("the frame or the picture's hash is missing");
        return;
    }
    const auto frame = static_cast<std::int64_t>(j["frame"].toDouble());
    const std::string bmp = temporary_bitmap();
    std::string detail;
    const ExtractOutcome out =
        extract_frame_to_bmp(files, video, frame, bmp, open_video_file, &detail);
    if (out != ExtractOutcome::Written) {
        c.fail("frame " + std::to_string(frame) + " cannot be extracted again: " + detail);
        return;
    }
    const HashResult p = hasher.hash_file(bmp);
    std::error_code ec;
    fs::remove(bmp, ec);
    if (!p.ok() || p.sha256 != str(j["picture_sha256"]))
        c.fail("frame " + std::to_string(frame) + " does not give the picture measured");
    else
        c.note("video unchanged; frame " + std::to_string(frame) + " gives the picture measured");
}

int audit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1)
        return usage_error(err, "audit", "needs one audit file (results file + .audit.jsonl)");
    std::string error;
    const auto content = read_whole_file(args[0], kTextFileLimit, &error);
    if (!content) {
        err << "rampsight-cli audit: " << error << "\n";
        return kExitUsage;
    }
    QtFileHasher hasher;
    FileWriter files;
    int jumps = 0, failed = 0, n = 0;
    for (const std::string& line : split_lines(*content)) {
        ++n;
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        ++jumps;
        QJsonParseError pe;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &pe);
        if (pe.error != QJsonParseError::NoError || !doc.isObject()) {
            ++failed;
            out << "line " << n
                << ": DOES NOT REPRODUCE\n  not a jump record: " << pe.errorString().toStdString()
                << "\n";
            continue;
        }
        const QJsonObject j = doc.object();
        Check c;
        check_distance(j, hasher, c);
        check_video(j, hasher, files, c);
        if (!c.ok)
            ++failed;
        out << "line " << n << ": " << str(j["date"]) << " " << str(j["time"]) << " "
            << str(j["skier"]) << " jump " << str(j["jump_number"]) << ": "
            << (c.ok ? "reproduces" : "DOES NOT REPRODUCE") << "\n";
        for (const std::string& note : c.notes)
            out << "  " << note << "\n";
    }
    out << jumps << (jumps == 1 ? " jump, " : " jumps, ") << jumps - failed << " reproduced, "
        << failed << " not\n";
    return failed ? kExitRefused : kExitOk;
}

const CommandRegistrar audit_command{
    {"audit", "audit FILE.audit.jsonl   (re-checks every recorded jump of an audit file)", audit}};

}  // namespace

}  // namespace rs::cli
