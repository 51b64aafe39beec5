// workers.h -- the declarations of every worker the export table names, for the files that
// expand the table into calls (the exports, and the text library's caught calls).
#pragma once

#include "arith/addition.h"
#include "arith/divide_long.h"
#include "arith/divide_reciprocal.h"
#include "arith/gcd.h"
#include "arith/integer_part.h"
#include "arith/multiply_schoolbook.h"
#include "arith/transform/multiply_transform.h"
#include "powers/factorial.h"
#include "powers/integer_power.h"
#include "powers/real_power.h"
#include "powers/square_root.h"
#include "transcendental/constants.h"
#include "transcendental/exponential.h"
#include "transcendental/hyperbolic.h"
#include "transcendental/inverse_trigonometric.h"
#include "transcendental/pi.h"
#include "transcendental/trigonometric.h"
