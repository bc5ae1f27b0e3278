// Pairs the block statements of a parsed program (IF ... ENDIF, loops,
// SELECT CASE, TYPE, SUB and FUNCTION) into the program's block tree, once
// the lines of every included file stand in their places. Block ends that
// close nothing, blocks left open and blocks crossing each other are
// reported here.
#pragma once

#include "diagnostics.h"
#include "syntax_tree.h"

namespace kvbasic {

void BuildBlockTree(Program& program, Diagnostics& diagnostics);

}  // namespace kvbasic
