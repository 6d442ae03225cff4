// The Excellon converter: drill files become one drill cycle per hole. With the tool changer ("TC",
// setting `atc_excellon`) the whole file is one program and every tool-select line changes the tool;
// one tool at a time ("single") the job window's tool list is filled with the file's tool codes, and
// each confirmation writes a whole program that drills only the holes of the chosen tool.
//
// Only reading starts after the first "M72", "T" lines select tools, X and Y words place holes and an
// "M" word ends the drilling; unit, number format and scale come from the settings.
#pragma once

namespace vireo {

struct Context;
enum class ConversionOutcome;

// The driver's entry for ".drl": converts at once with the tool changer, else fills the tool list
// (every "T" after "M72" and the two characters after it, in file order) and waits for the operator.
void list_excellon_tools(Context& context);

// One whole program, repeated passes included. In "single" mode only the sections whose tool-select
// line starts with the same three characters as the tool list's text are drilled.
void convert_excellon(Context& context);

// The Z moves of one hole at the position just written: the pecks of progressive drilling, the
// plunge to the cutting depth with the pulses, the return to the travel height.
void drill_cycle(Context& context);

// The job window's tool confirmation (`tool_ok`): writes the program of the tool chosen in the list
// into the sink the tools were listed for, then rebuilds the preview of a program file. A run-time
// failure is reported as the conversion driver reports it; `cancelled` when no tools were listed.
ConversionOutcome confirm_drill_tool(Context& context);

}  // namespace vireo
