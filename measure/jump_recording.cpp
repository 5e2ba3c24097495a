#include "measure/jump_recording.h"

#include <cmath>

#include "core/text_forms.h"
#include "grid/distance_rounding.h"
#include "grid/distance_uncertainty.h"
#include "measure/exchange_files.h"
#include "measure/impact_marker.h"
#include "measure/results_file.h"

namespace rs {

namespace {

constexpr const char* kOtherGridTitle = "Other Grid Measurement";

std::string str(double v) {
    return signed_number(v);
}

enum class OtherGrid { Distance, NoDistance, Cancelled };

// The other-grid questions, asked again until the typed meters and feet
// agree. A cancelled input box ends the recording with nothing written.
OtherGrid ask_other_grid(MeasureContext& ctx, RecordedJump& r) {
    MeasureForm& f = ctx.form;
    for (;;) {
        const bool yes =
            ctx.dialogs.message({"Is there a distance to be recorded in the other grid?",
                                 MsgButtons::YesNo, MsgIcon::None, "Message", false}) ==
            MsgResult::Yes;
        if (!yes) {
            f.Comment = "Other Grid - no distance recorded";
            f.distance.clear();
            f.distance_ft.clear();
            return OtherGrid::NoDistance;
        }
        const std::string meters =
            ctx.dialogs.input("Enter distance in meters from other screen", kOtherGridTitle, "");
        if (meters.empty())
            return OtherGrid::Cancelled;
        const std::string feet =
            ctx.dialogs.input("Enter distance in feet from other screen", kOtherGridTitle, "");
        if (feet.empty())
            return OtherGrid::Cancelled;
        f.distance = meters;
        f.distance_ft = " " + feet;
        r.meters_text = f.distance;
        r.feet_text = f.distance_ft;
        f.distance += "m";
        f.distance_ft += "ft";
        if (!is_number_text(meters) || !is_number_text(feet)) {
            ctx.dialogs.ok("The distances must be typed as numbers, please enter them again");
            continue;
        }
        if (!other_grid_distances_match(text_to_number(f.distance),
                                        text_to_number(f.distance_ft))) {
            ctx.dialogs.ok(
                "The meter distance and the foot distance you entered did not match, please enter "
                "them again");
            continue;
        }
        return OtherGrid::Distance;
    }
}

}  // namespace

std::string results_jump_line(const DateTime& now, const std::string& skier,
                              const std::string& jump_number, const std::string& distance,
                              const std::string& distance_ft, bool barefoot_tournament, bool verify,
                              const std::string& comment, const std::optional<LineCoordinates>& c) {
    std::string line = date_text(now) + " " + time_text(now) + " " + skier + "  jump " +
                       jump_number + " - " + distance + "  (IWSF)" + distance_ft + "  (AWSA)";
    if (barefoot_tournament)
        line += " BAREFOOT ";
    if (verify)
        line += " UNOFFICIAL JUMP - verify mode ";
    line += comment;
    if (c) {
        auto thousandths = [](double v) { return std::floor(v * 1000 + 0.5) / 1000; };
        line += " (" + str(thousandths(c->survey.x)) + "/" + str(thousandths(c->survey.y)) + ")";
        line += " (" + str(std::floor(c->impact.x)) + "/" + str(std::floor(c->impact.y)) + ")";
        line += " (" + c->precise + ")";
    }
    return line;
}

std::string next_jump_number(const std::string& jump_number) {
    return str(text_to_number(jump_number) + 1);
}

bool other_grid_distances_match(double meters, double feet) {
    return !(meters * 3.2808 + 2.0 < feet || meters * 3.2808 - 2.0 > feet);
}

std::optional<RecordedJump> record_jump(MeasureContext& ctx) {
    MeasureForm& f = ctx.form;
    if (f.recorded)
        return std::nullopt;
    const MeasureForm before = f;
    const bool pass_or_fall = f.option == ResultOption::Pass || f.option == ResultOption::Fall;
    const bool other_grid = f.option == ResultOption::Other_Grid;
    const bool on_grid = !pass_or_fall && !other_grid;

    // A distance is only recorded for a point the operator marked and the
    // grid can map: nothing else is ever an official number.
    std::optional<JumpDistance> measured;
    if (on_grid) {
        if (!f.impact) {
            ctx.dialogs.ok(kNoPointMarked, MsgIcon::Exclamation);
            return std::nullopt;
        }
        measured =
            distance_calculation(ctx.grids.working, f.impact->x, f.impact->y, ctx.jump_kind());
        if (!measured) {
            ctx.dialogs.ok(no_distance_message(ctx.grids.current), MsgIcon::Exclamation);
            return std::nullopt;
        }
    }

    RecordedJump r;
    r.when = ctx.clock.now();
    r.skier = f.Skier_name;
    r.jump_number = f.Jump_no;
    r.grid = ctx.grids.current;
    r.option = f.option;
    r.frozen = f.frozen;
    r.verify = f.verify;
    if (on_grid)
        r.camera_moved_px = f.camera_moved_px;
    bool advance = false;

    if (pass_or_fall) {
        f.distance.clear();
        f.distance_ft.clear();
        if (!f.frozen) {
            advance = true;
            f.option = ResultOption::None;
        }
    }

    if (other_grid) {
        if (ask_other_grid(ctx, r) == OtherGrid::Cancelled) {
            f = before;
            return std::nullopt;
        }
        if (!f.frozen)
            advance = true;
    }

    std::optional<LineCoordinates> coordinates;
    if (measured) {
        const double d = measured->distance;
        // Feet to a tenth while the barefoot indicator is shown.
        const RecordedDistance rd = recorded_distance(d, ctx.config.barefoot_indicator_visible);
        r.impact = f.impact;
        r.survey = measured->survey;
        r.distance = d;
        r.precise_text = str(rd.precise);
        r.meters_text = str(rd.meters);
        r.feet_text = str(rd.feet);
        f.distance = r.meters_text + "m";
        f.distance_ft = r.feet_text + "ft";
        r.uncertainty = distance_uncertainty(ctx.grids.working, f.impact->x, f.impact->y);
        coordinates = LineCoordinates{measured->survey, *f.impact, r.precise_text};
    }
    r.distance_shown = f.distance;
    f.uncertainty = r.uncertainty;
    f.uncertainty_of = f.distance;
    r.distance_ft_shown = f.distance_ft;
    r.comment = f.Comment;

    r.results_line = results_jump_line(r.when, f.Skier_name, f.Jump_no, f.distance, f.distance_ft,
                                       ctx.config.tournament_type == "barefoot", f.verify,
                                       f.Comment, coordinates);
    r.results_written = append_results_line(ctx, r.results_line);

    r.exchange_result = exchange_result(f.Comment, r.meters_text, r.feet_text, f.Jump_no);
    if (ctx.config.wstims) {
        r.exchange_attempted = true;
        WriteResult w = write_exchange_files(ctx.files, ctx.paths.exchange_folder, r.when,
                                             f.Skier_name, r.exchange_result);
        r.exchange_written = w.ok();
        if (!w) {
            r.exchange_error = w.error();
            ctx.WriteDebugLog(kExchangeErrorPrefix + w.error());
            ctx.dialogs.ok(kExchangeErrorPrefix + w.error());
        }
    }

    f.Comment_visible = false;
    if (advance) {
        f.Jump_no = next_jump_number(f.Jump_no);
        r.advanced = true;
    }
    if (other_grid)
        f.option = ResultOption::None;
    f.Comment.clear();
    (void)remove_exchange_pictures(ctx.files, ctx.paths.exchange_folder);
    f.recorded = true;
    return r;
}

void Fall_Click(MeasureForm& f) {
    f.option = ResultOption::Fall;
    f.Comment = "Fall";
    f.Comment_visible = true;
    f.recorded = false;
}

void Pass_Click(MeasureForm& f) {
    f.option = ResultOption::Pass;
    f.Comment = "Pass";
    f.Comment_visible = true;
    f.recorded = false;
}

void Other_Grid_Click(MeasureForm& f) {
    f.option = ResultOption::Other_Grid;
    f.Comment = "Distance from other grid";
    f.Comment_visible = true;
    f.recorded = false;
}

void optJumpOK_Click(MeasureForm& f) {
    f.option = ResultOption::JumpOK;
    // A result text left by another option would be recorded with this
    // jump's distance ("Pass" gives the scoring program a pass).
    if (f.Comment == "Fall" || f.Comment == "Pass" || f.Comment == "Distance from other grid")
        f.Comment.clear();
    f.Comment_visible = true;
    f.recorded = false;
}

namespace {
void comment_line(MeasureContext& ctx, const std::string& comment) {
    (void)append_results_line(ctx, dated_results_line(ctx.clock.now(), comment));
    ctx.form.Comment.clear();
    ctx.form.recorded = false;
}
}  // namespace

void M_Reride_Click(MeasureContext& ctx) {
    MeasureForm& f = ctx.form;
    f.option = ResultOption::M_Reride;
    f.Comment = "Mandatory Reride - disregard last jump";
    comment_line(ctx, f.Comment);
    if (!f.frozen) {
        f.option = ResultOption::None;
        f.distance.clear();
        f.distance_ft.clear();
    }
}

void O_reride_Click(MeasureContext& ctx) {
    MeasureForm& f = ctx.form;
    f.option = ResultOption::O_reride;
    f.Comment = "Optional Reride on previous jump";
    comment_line(ctx, f.Comment);
    if (!f.frozen)
        f.option = ResultOption::None;
}

void Make_comment_Click(MeasureContext& ctx) {
    MeasureForm& f = ctx.form;
    f.option = ResultOption::Make_comment;
    const std::string comment =
        ctx.dialogs.input("What comment would you like to add?", "Input Comment", "");
    // A cancelled box writes no empty comment line.
    if (!comment.empty()) {
        f.Comment = comment;
        comment_line(ctx, comment);
    }
    f.option = ResultOption::None;
}

}  // namespace rs
