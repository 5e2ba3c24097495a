#include "measure/audit_trail.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/text_lines.h"
#include "tests/measure/measure_fixture.h"

namespace rs {
namespace {

using test::slurp;

// Answers hashes only when told to: a video still hashing when the program
// ends is a video whose answer never came.
class HeldHasher final : public FileHasher {
  public:
    HashResult hash_file(const std::string& path) override { return {"file:" + path, {}}; }
    std::string hash_bytes(std::string_view bytes) override {
        return "bytes:" + std::to_string(bytes.size());
    }
    void hash_file_later(const std::string& path,
                         std::function<void(const HashResult&)> done) override {
        held.push_back([path, done] { done({"video:" + path, {}}); });
    }
    void finish() override {
        if (!answers)
            return;
        auto h = std::move(held);
        held.clear();
        for (auto& f : h)
            f();
    }
    bool answers = true;
    std::vector<std::function<void()>> held;
};

struct AuditTrailTest : test::MeasureFixture {
    HeldHasher hasher;
    std::string audit = audit_file_path(shared.results_file_path);
    std::string pending = pending_audit_path(shared.results_file_path);

    RecordedJump jump(const std::string& number) {
        RecordedJump r;
        r.when = clock.now();
        r.skier = "Smith";
        r.jump_number = number;
        r.distance = 20.04;
        r.impact = ScreenPoint{1500, 4206};
        return r;
    }
    AuditFacts facts(const std::string& video) {
        AuditFacts f;
        f.results_file_path = shared.results_file_path;
        f.video_path = video;
        f.picture_bytes = "BM...";
        return f;
    }
    std::vector<std::string> lines(const std::string& path) {
        std::vector<std::string> out;
        for (const auto& l : split_lines(slurp(path)))
            if (!l.empty())
                out.push_back(l);
        return out;
    }
};

TEST_F(AuditTrailTest, LinesFollowTheirHashesInTheOrderRecorded) {
    AuditTrail trail(files, hasher, log, "1.3");
    trail.add(jump("1"), facts(video_folder + "/a.avi"));
    trail.add(jump("2"), facts(""));  // a picture from the clipboard: nothing to wait for
    // Jump 2 waits behind jump 1, whose video is still hashing; both are
    // kept in the pending file meanwhile.
    EXPECT_EQ(trail.waiting(), 2);
    EXPECT_FALSE(exists(audit));
    ASSERT_EQ(lines(pending).size(), 1u);
    EXPECT_NE(lines(pending)[0].find("\"jump_number\": \"1\""), std::string::npos);

    hasher.finish();
    const auto written = lines(audit);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_NE(written[0].find("\"jump_number\": \"1\""), std::string::npos);
    // The path stands in the line as a JSON string: a Windows path's
    // backslashes are escaped.
    std::string video_json = "video:" + video_folder + "/a.avi";
    for (std::size_t at = 0; (at = video_json.find('\\', at)) != std::string::npos; at += 2)
        video_json.insert(at, 1, '\\');
    EXPECT_NE(written[0].find("\"video_sha256\": \"" + video_json + "\""), std::string::npos);
    EXPECT_NE(written[0].find("\"picture_sha256\": \"bytes:5\""), std::string::npos);
    EXPECT_NE(written[1].find("\"video\": null"), std::string::npos);
    EXPECT_NE(written[1].find("\"camera_moved_px\": null"), std::string::npos);
    EXPECT_EQ(slurp(audit).substr(slurp(audit).size() - 2), "\r\n");
    EXPECT_FALSE(exists(pending));
    EXPECT_EQ(trail.waiting(), 0);
}

TEST_F(AuditTrailTest, ALineWaitingWhenTheProgramDiesIsWrittenByTheNextRunOnce) {
    {
        AuditTrail trail(files, hasher, log, "1.3");
        trail.add(jump("1"), facts(video_folder + "/a.avi"));
        hasher.answers = false;  // the program dies: no answer, no line
    }
    EXPECT_FALSE(exists(audit));
    ASSERT_EQ(lines(pending).size(), 1u);

    HeldHasher next;
    AuditTrail trail(files, next, log, "1.3");
    trail.add(jump("2"), facts(""));
    auto written = lines(audit);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_NE(written[0].find("\"jump_number\": \"1\""), std::string::npos);
    EXPECT_NE(written[0].find("\"video_sha256\": null"), std::string::npos);
    EXPECT_NE(written[0].find("the program ended before the video was hashed"), std::string::npos);
    EXPECT_NE(written[1].find("\"jump_number\": \"2\""), std::string::npos);
    EXPECT_FALSE(exists(pending));

    // A pending file whose line was already written (the run died between
    // the two writes) adds nothing.
    test::spit(pending, written[0] + "\r\n");
    AuditTrail again(files, next, log, "1.3");
    again.add(jump("3"), facts(""));
    written = lines(audit);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_NE(written[2].find("\"jump_number\": \"3\""), std::string::npos);
}

TEST_F(AuditTrailTest, TextsAreEscapedAndNumbersReadBackExactly) {
    AuditTrail trail(files, hasher, log, "1.3");
    RecordedJump r = jump("1");
    r.skier = "O\"Neil \\ \x01";
    r.distance = 0.1 + 0.2;
    trail.add(r, facts(""));
    const std::string line = lines(audit).at(0);
    EXPECT_NE(line.find("\"skier\": \"O\\\"Neil \\\\ \\u0001\""), std::string::npos) << line;
    EXPECT_NE(line.find("\"distance_m\": 0.30000000000000004"), std::string::npos) << line;
}

TEST_F(AuditTrailTest, AFailedWriteIsLoggedAndRecordingGoesOn) {
    AuditTrail trail(files, hasher, log, "1.3");
    files.fail_at_flush();  // the debug log is not flushed: it still takes the line
    trail.add(jump("1"), facts(""));
    files.heal();
    EXPECT_EQ(slurp(audit), "");
    EXPECT_NE(slurp(log.path()).find("Audit line not written"), std::string::npos);
}

}  // namespace
}  // namespace rs
