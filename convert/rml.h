// The RML-1 converter: milling files of the modelling machines. Only the commands that carry the 3D
// tool path count: "Z" with its x,y,z triplets, the velocity "V", "^pa"/"^pr" (absolute, relative)
// and the spindle stop "!MC0"; every other character is skipped. One pass, one line per triplet.
#pragma once

namespace vireo {

struct Context;

void convert_rml(Context& context);

}  // namespace vireo
