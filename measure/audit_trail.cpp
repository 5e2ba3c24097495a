#include "measure/audit_trail.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>

#include "core/json_text.h"
#include "core/text_forms.h"
#include "core/text_lines.h"
#include "platform/file_reader.h"
#include "platform/paths.h"

namespace rs {

namespace {

std::string number(double v) {
    if (!std::isfinite(v))
        return "null";
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string text(const std::string& s) {
    return json_string(s);
}

std::string text_or_null(const std::optional<std::string>& s) {
    return s ? text(*s) : "null";
}

std::string pair(double a, double b) {
    return "[" + number(a) + ", " + number(b) + "]";
}

std::string option_word(ResultOption o) {
    switch (o) {
        case ResultOption::JumpOK:
            return "jump_ok";
        case ResultOption::Pass:
            return "pass";
        case ResultOption::Fall:
            return "fall";
        case ResultOption::Other_Grid:
            return "other_grid";
        case ResultOption::O_reride:
            return "optional_reride";
        case ResultOption::M_Reride:
            return "mandatory_reride";
        case ResultOption::Make_comment:
            return "comment";
        case ResultOption::None:
            break;
    }
    return "none";
}

// Keys in a fixed order, so two lines can be compared by eye.
class Line {
  public:
    void add(const char* key, const std::string& json) {
        out_ += out_.empty() ? "{" : ", ";
        out_ += text(key) + ": " + json;
    }
    std::string done() const { return out_ + "}"; }

  private:
    std::string out_;
};

constexpr const char* kNotHashed = "the program ended before the video was hashed";

std::string new_id() {
    std::random_device rd;
    char buf[24];
    std::snprintf(buf, sizeof buf, "%08x%08x", rd(), rd());
    return buf;
}

}  // namespace

std::string audit_file_path(const std::string& results_file_path) {
    return results_file_path + kAuditFileSuffix;
}

std::string pending_audit_path(const std::string& results_file_path) {
    return audit_file_path(results_file_path) + ".pending";
}

std::string jump_kind_word(JumpKind kind) {
    switch (kind) {
        case JumpKind::SitSki:
            return "sitski";
        case JumpKind::Barefoot:
            return "barefoot";
        default:
            return "normal";
    }
}

std::string audit_line(const AuditRecord& a) {
    const RecordedJump& j = a.jump;
    const AuditFacts& f = a.facts;
    Line l;
    l.add("id", text(a.id));
    l.add("date", text(date_text(j.when)));
    l.add("time", text(time_text(j.when)));
    l.add("skier", text(j.skier));
    l.add("jump_number", text(j.jump_number));
    l.add("result", text(option_word(j.option)));
    l.add("video", f.video_path.empty() ? "null" : text(f.video_path));
    l.add("video_sha256", text_or_null(a.video_sha256));
    if (!a.video_error.empty())
        l.add("video_error", text(a.video_error));
    l.add("frame", f.frame ? number(static_cast<double>(*f.frame)) : "null");
    l.add("picture", f.picture_path.empty() ? "null" : text(f.picture_path));
    l.add("picture_sha256", text_or_null(a.picture_sha256));
    l.add("impact_twips", j.impact ? pair(j.impact->x, j.impact->y) : "null");
    l.add("grid", number(j.grid));
    l.add("setup_file", f.setup_file.empty() ? "null" : text(f.setup_file));
    l.add("setup_sha256", text_or_null(a.setup_sha256));
    std::string c = "[";
    for (size_t i = 0; i < f.coefficients.size(); ++i)
        c += (i ? ", " : "") + number(f.coefficients[i]);
    l.add("coefficients", c + "]");
    l.add("jump_point", pair(f.jump_x, f.jump_y));
    l.add("tournament_type", text(jump_kind_word(f.kind)));
    l.add("survey", j.survey ? pair(j.survey->x, j.survey->y) : "null");
    l.add("distance_m", j.distance ? number(*j.distance) : "null");
    l.add("meters_text", text(j.meters_text));
    l.add("feet_text", text(j.feet_text));
    l.add("precise_text", text(j.precise_text));
    l.add("comment", text(j.comment));
    l.add("unofficial", j.verify ? "true" : "false");
    l.add("frozen", j.frozen ? "true" : "false");
    l.add("results_line", text(j.results_line));
    l.add("results_written", j.results_written ? "true" : "false");
    l.add("exchange_result", j.exchange_attempted ? text(j.exchange_result) : "null");
    l.add("exchange_written", j.exchange_written ? "true" : "false");
    l.add("uncertainty_m", j.uncertainty ? number(*j.uncertainty) : "null");
    l.add("camera_moved_px", j.camera_moved_px ? number(*j.camera_moved_px) : "null");
    l.add("program_version", text(a.program_version));
    return l.done();
}

AuditTrail::AuditTrail(FileWriter& files, FileHasher& hasher, DebugLog& log,
                       std::string program_version)
    : files_(files), hasher_(hasher), log_(log), version_(std::move(program_version)) {}

AuditTrail::~AuditTrail() {
    finish();
}

void AuditTrail::add(const RecordedJump& jump, AuditFacts facts) {
    auto entry = std::make_shared<Entry>();
    AuditRecord& record = entry->record;
    record.id = new_id();
    record.jump = jump;
    record.program_version = version_;
    if (!facts.picture_path.empty()) {
        const HashResult h = hasher_.hash_file(facts.picture_path);
        if (h.ok())
            record.picture_sha256 = h.sha256;
    } else if (!facts.picture_bytes.empty()) {
        record.picture_sha256 = hasher_.hash_bytes(facts.picture_bytes);
    }
    facts.picture_bytes.clear();
    if (!facts.setup_file.empty()) {
        const HashResult h = hasher_.hash_file(facts.setup_file);
        if (h.ok())
            record.setup_sha256 = h.sha256;
        else
            log_.WriteDebugLog("Audit: set-up file not hashed: " + h.error);
    }
    record.facts = std::move(facts);
    const std::string results = record.facts.results_file_path;
    if (!results.empty() && recovered_.insert(results).second)
        recover(results);
    queue_.push_back(entry);
    if (record.facts.video_path.empty()) {
        entry->ready = true;
        write_ready();
        return;
    }
    keep_pending(results);
    hasher_.hash_file_later(record.facts.video_path, [this, entry](const HashResult& h) {
        if (h.ok())
            entry->record.video_sha256 = h.sha256;
        else
            entry->record.video_error = h.error;
        entry->ready = true;
        write_ready();
    });
}

void AuditTrail::write_ready() {
    std::set<std::string> written;
    while (!queue_.empty() && queue_.front()->ready) {
        const std::shared_ptr<Entry> e = queue_.front();
        queue_.pop_front();
        write(e->record);
        if (!e->record.facts.video_path.empty())
            written.insert(e->record.facts.results_file_path);
    }
    for (const std::string& results : written)
        keep_pending(results);
}

void AuditTrail::keep_pending(const std::string& results) {
    if (results.empty())
        return;
    std::string lines;
    for (const auto& e : queue_) {
        if (e->ready || e->record.facts.results_file_path != results)
            continue;
        AuditRecord waiting = e->record;
        waiting.video_error = kNotHashed;
        lines += audit_line(waiting) + "\r\n";
    }
    const std::string path = pending_audit_path(results);
    const WriteResult w = lines.empty() ? files_.remove(path) : files_.replace(path, lines);
    if (!w)
        log_.WriteDebugLog("Audit: pending lines not kept: " + w.error());
}

void AuditTrail::recover(const std::string& results) {
    const std::string path = pending_audit_path(results);
    if (!FileExists(path))
        return;
    const auto pending = read_whole_file(path, kTextFileLimit);
    const std::string audit =
        read_whole_file(audit_file_path(results), kTextFileLimit).value_or("");
    if (!pending)
        return;
    std::vector<std::string> missing;
    for (const std::string& line : split_lines(*pending)) {
        const auto at = line.find("\"id\": \"");
        if (at == std::string::npos)
            continue;
        const std::string id = line.substr(at, line.find('"', at + 8) + 1 - at);
        if (audit.find(id) == std::string::npos)
            missing.push_back(line);
    }
    if (!missing.empty()) {
        const WriteResult w = files_.append_lines(audit_file_path(results), missing);
        if (!w) {
            log_.WriteDebugLog("Audit: pending lines not recovered: " + w.error());
            return;
        }
        log_.WriteDebugLog("Audit: " + std::to_string(missing.size()) +
                           " line(s) of an earlier run written without their video hash");
    }
    (void)files_.remove(path);
}

void AuditTrail::finish() {
    if (!queue_.empty())
        hasher_.finish();
    write_ready();
}

void AuditTrail::write(const AuditRecord& record) {
    const std::string path = audit_file_path(record.facts.results_file_path);
    if (record.facts.results_file_path.empty())
        return;
    const WriteResult w = files_.append_lines(path, {audit_line(record)});
    if (!w)
        log_.WriteDebugLog("Audit line not written: " + w.error());
}

}  // namespace rs
