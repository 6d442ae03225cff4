// The immediate-command window (`frm_immediato`): ten command lines the operator types once and sends
// with one click, each with an optional comment shown as its tooltip. The lines and comments are
// setup-file slots 160-169 and 170-179; the window edits them in the settings record, so they are
// saved with the setup file.
#pragma once

#include <string>
#include <string_view>

namespace vireo {

struct Context;

inline constexpr int kImmediateLines = 10;
// The tooltip of a line without a comment, and the input box that asks for one.
inline constexpr std::string_view kNoCommentHint = "press <ctrl><c>per inserire un commento";
inline constexpr std::string_view kCommentPrompt = "Input commento";

// Sends the line buffer straight to the machine with the next Z move and feed code forced out.
void send_immediate_line(Context& ctx);

// Line `index` (0 to 9) and its comment, as stored in the settings record.
const std::string& immediate_text(const Context& ctx, int index);
const std::string& immediate_comment(const Context& ctx, int index);
// The tooltip of a line: its comment, or the hint that tells how to add one.
std::string immediate_hint(const Context& ctx, int index);
// The operator edited line `index`.
void set_immediate_text(Context& ctx, int index, std::string text);

// The send button of line `index`: the line as typed, unless it is empty.
void send_immediate_command(Context& ctx, int index);

// Ctrl+C in line `index`: asks for a comment; a non-empty answer becomes the line's comment. Returns
// true when the comment changed.
bool ask_immediate_comment(Context& ctx, int index);

}  // namespace vireo
