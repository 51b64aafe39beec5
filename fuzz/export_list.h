// export_list.h -- every export that the fuzz targets and the robustness tests exercise, one per
// line. A new export joins them all by adding its line here; its argument kinds are read off its
// declared type. No include guard: the includer defines OSTREL2_EXPORT first.
OSTREL2_EXPORT(Version_XL)
OSTREL2_EXPORT(Abs_XL)
OSTREL2_EXPORT(Fix_XL)
OSTREL2_EXPORT(Round_XL)
OSTREL2_EXPORT(Mod_XL)
OSTREL2_EXPORT(Add_XL)
OSTREL2_EXPORT(Subtract_XL)
OSTREL2_EXPORT(Multipl2_XL)
OSTREL2_EXPORT(Multipl_XL)
OSTREL2_EXPORT(Div2_XL)
OSTREL2_EXPORT(Div_XL)
OSTREL2_EXPORT(LCM_XL)
