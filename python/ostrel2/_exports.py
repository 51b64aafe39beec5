"""The library's exports as the module offers them: one row each, in the order of the ordinals.

Each row is (Python name, export, kind, summary). A row whose export the loaded library does not
define (a function not built yet) gives no module function; once the library has the export, the
function is there. The kinds are those of the exports' C signatures; tests/python checks every
row against include/ostrel2.h and the library's table of exports (ordinal, kind, built). The
Python names are the module's own: `subtract` and `divide` where the ostrel2 program says `sub`
and `div`, `log` (as in Python's math module) for the natural logarithm.
"""

# The kinds of call, by the export's arguments after the result record.
VERSION = "version"                   # no result record; returns an int32
RECORD = "record"                     # f(result, x)
TWO_RECORDS = "two records"           # f(result, x, y)
COFACTORS = "cofactors"               # f(result, x, y); writes the cofactors into x and y
RECORD_AND_DOUBLE = "record, double"  # f(result, x, n) with n a double
PRECISION = "precision"               # f(result, precision)
INTEGER_AND_PRECISION = "int, precision"  # f(result, n, precision)

EXPORTS = (
    ("version", "Version_XL", VERSION, "the library's interface version, 20091025"),
    ("abs", "Abs_XL", RECORD, "|x|"),
    ("fix", "Fix_XL", RECORD, "x truncated toward zero"),
    ("round", "Round_XL", RECORD, "x rounded to a whole number, halves away from zero"),
    ("mod", "Mod_XL", TWO_RECORDS, "x - fix(x / y) * y, with the sign of x"),
    ("add", "Add_XL", TWO_RECORDS, "x + y"),
    ("subtract", "Subtract_XL", TWO_RECORDS, "x - y"),
    ("multiply2", "Multipl2_XL", TWO_RECORDS, "x * y, limb by limb"),
    ("multiply", "Multipl_XL", TWO_RECORDS, "x * y, by fast transform (precision at least 5)"),
    ("divide2", "Div2_XL", TWO_RECORDS, "x / y, by long division"),
    ("divide", "Div_XL", TWO_RECORDS, "x / y, by Newton's iteration (precision at least 5)"),
    ("sqrt", "Sqr_XL", RECORD, "the square root of x"),
    ("power", "Power_XL", RECORD_AND_DOUBLE, "x ** n for a whole number n"),
    ("powerx", "PowerX_XL", TWO_RECORDS, "x ** y"),
    ("root", "Root_XL", RECORD_AND_DOUBLE, "the n-th root of x"),
    ("pi", "Pai_XL", PRECISION, "pi"),
    ("cos", "Cos_XL", RECORD, "the cosine of x"),
    ("sin", "Sin_XL", RECORD, "the sine of x"),
    ("tan", "Tan_XL", RECORD, "the tangent of x"),
    ("asin", "Asn_XL", RECORD, "the arc sine of x"),
    ("acos", "Acs_XL", RECORD, "the arc cosine of x"),
    ("atan", "Atn_XL", RECORD, "the arc tangent of x"),
    ("exp", "Exp_XL", RECORD, "e ** x"),
    ("log", "Loge_XL", RECORD, "the natural logarithm of x"),
    ("log10", "Log10_XL", RECORD, "the common logarithm of x"),
    ("sinh", "Sinh_XL", RECORD, "the hyperbolic sine of x"),
    ("cosh", "Cosh_XL", RECORD, "the hyperbolic cosine of x"),
    ("tanh", "Tanh_XL", RECORD, "the hyperbolic tangent of x"),
    ("asinh", "Asinh_XL", RECORD, "the inverse hyperbolic sine of x"),
    ("acosh", "Acosh_XL", RECORD, "the inverse hyperbolic cosine of x"),
    ("atanh", "Atanh_XL", RECORD, "the inverse hyperbolic tangent of x"),
    ("factorial", "Factorial_XL", INTEGER_AND_PRECISION, "n!"),
    ("gcd", "LCM_XL", COFACTORS, "(g, x / g, y / g) with g = gcd(round(x), round(y))"),
)
