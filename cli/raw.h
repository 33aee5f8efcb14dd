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
// end with status 2. False at once where the output cannot be written (the
// caller says why, as for any output); *status is 0 or 2 otherwise.
bool ConvertRaw(Direction direction, char **names, int count, Output &out, int *status);

}  // namespace hsvconv

#endif
