/* The Max wrapper of a Jitter object (obex) and of its matrix operator,
 * as the published Max SDK names and declares them. */
#ifndef ZELK_MAX_JIT_MOP_H
#define ZELK_MAX_JIT_MOP_H

#include "jit.common.h"

#ifdef __cplusplus
extern "C" {
#endif

#define MAX_JIT_MOP_FLAGS_NONE 0x00000000
#define MAX_JIT_MOP_FLAGS_OWN_ALL 0xFFFFFFFF
#define MAX_JIT_MOP_FLAGS_OWN_JIT_MATRIX 0x00000001
#define MAX_JIT_MOP_FLAGS_OWN_BANG 0x00000002
#define MAX_JIT_MOP_FLAGS_OWN_OUTPUTMATRIX 0x00000004
#define MAX_JIT_MOP_FLAGS_OWN_NAME 0x00000008
#define MAX_JIT_MOP_FLAGS_OWN_TYPE 0x00000010
#define MAX_JIT_MOP_FLAGS_OWN_DIM 0x00000020
#define MAX_JIT_MOP_FLAGS_OWN_PLANECOUNT 0x00000040
#define MAX_JIT_MOP_FLAGS_OWN_CLEAR 0x00000080
#define MAX_JIT_MOP_FLAGS_OWN_NOTIFY 0x00000100
#define MAX_JIT_MOP_FLAGS_OWN_ADAPT 0x00000200
#define MAX_JIT_MOP_FLAGS_OWN_OUTPUTMODE 0x00000400

/* class set-up */
void *max_jit_classex_setup(long oboffset);
t_jit_err max_jit_classex_standard_wrap(void *mclass, void *jclass, long flags);
t_jit_err max_jit_classex_mop_wrap(void *mclass, void *jclass, long flags);
t_jit_err max_jit_classex_mop_mproc(void *mclass, void *jclass, void *mproc);

/* the wrapper record's link to its computing object */
void *max_jit_obex_new(void *mc, t_symbol *classname);
void max_jit_obex_free(void *x);
t_jit_err max_jit_obex_jitob_set(void *x, void *jitob);
void *max_jit_obex_jitob_get(void *x);
void max_jit_obex_dumpout_set(void *x, void *outlet);
void *max_jit_obex_dumpout_get(void *x);
void max_jit_obex_dumpout(void *x, t_symbol *s, short argc, t_atom *argv);

/* matrix operator wrapper: matrix inlets and outlets, their matrices,
 * output mode, help texts */
t_jit_err max_jit_mop_setup_simple(void *x, void *o, long argc, t_atom *argv);
void max_jit_mop_free(void *x);
void max_jit_mop_assist(void *x, void *b, long m, long a, char *s);
void *max_jit_mop_getinput(void *x, long index);
void *max_jit_mop_getoutput(void *x, long index);
long max_jit_mop_getoutputmode(void *x);
t_jit_err max_jit_mop_outputmatrix(void *x);

/* `@name value...` arguments typed in the box */
long max_jit_attr_args_offset(short ac, t_atom *av);
void max_jit_attr_args(void *x, short ac, t_atom *av);

#ifdef __cplusplus
}
#endif

#endif
