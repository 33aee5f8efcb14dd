/*
 * hsvconv --raw: images as packed bytes, converted a block at a time.
 */
#ifndef RGBHSV_CLI_RAW_H
#define RGBHSV_CLI_RAW_H

#include "cli/conversions.h"
#include "cli/output.h"

namespace hsvconv {

// The files in order ("-" standard input; none, standard input alone), each
// packed triples of `direction`'s input, written out converted. A file that
// cannot be read, or one that ends in part of a pixel, is reported in one
// line once every whole pixel before it is written, and the run goes on to
// end with status 2; 1 where the output cannot be written.
int ConvertRaw(Direction direction, char **names, int count, Output &out);

}  // namespace hsvconv

#endif
