/* Jitter API, as the published Max SDK names and declares it: classes,
 * objects and method dispatch, attributes, matrix operators, matrices,
 * atoms, memory, math and the parallel n-dimensional calculation. */
#ifndef ZELK_JIT_COMMON_H
#define ZELK_JIT_COMMON_H

#include "ext.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef t_atom_long t_jit_err;
typedef t_object t_jit_object;

#define JIT_ERR_NONE 0
#define JIT_ERR_GENERIC 0x45524F52L        /* 'EROR' */
#define JIT_ERR_INVALID_OBJECT 0x494E4F42L /* 'INOB' */
#define JIT_ERR_OBJECT_BUSY 0x4F425359L    /* 'OBSY' */
#define JIT_ERR_OUT_OF_MEM 0x4F4D454DL     /* 'OMEM' */
#define JIT_ERR_INVALID_PTR 0x494E5650L    /* 'INVP' */
#define JIT_ERR_DUPLICATE 0x4455504CL      /* 'DUPL' */
#define JIT_ERR_OUT_OF_BOUNDS 0x4F424E44L  /* 'OBND' */
#define JIT_ERR_INVALID_INPUT 0x494E5649L  /* 'INVI' */
#define JIT_ERR_INVALID_OUTPUT 0x494E564FL /* 'INVO' */
#define JIT_ERR_MISMATCH_TYPE 0x4D535450L  /* 'MSTP' */
#define JIT_ERR_MISMATCH_PLANE 0x4D53504CL /* 'MSPL' */
#define JIT_ERR_MISMATCH_DIM 0x4D53444DL   /* 'MSDM' */
#define JIT_ERR_MATRIX_UNKNOWN 0x4D54554EL /* 'MTUN' */
#define JIT_ERR_SUPPRESS_OUTPUT 0x53505253L /* 'SPRS' */

#define JIT_MATRIX_MAX_DIMCOUNT 32
#define JIT_MATRIX_MAX_PLANECOUNT 32

/* matrix info flags */
#define JIT_MATRIX_DATA_HANDLE 0x00000002
#define JIT_MATRIX_DATA_REFERENCE 0x00000001
#define JIT_MATRIX_DATA_PACK_TIGHT 0x00000004
#define JIT_MATRIX_DATA_FLAGS_USE 0x00008000

/* attribute flags */
#define JIT_ATTR_GET_OPAQUE 0x00000001
#define JIT_ATTR_SET_OPAQUE 0x00000002
#define JIT_ATTR_GET_OPAQUE_USER 0x00000100
#define JIT_ATTR_SET_OPAQUE_USER 0x00000200
#define JIT_ATTR_GET_DEFER 0x00010000
#define JIT_ATTR_GET_USURP 0x00020000
#define JIT_ATTR_GET_DEFER_LOW 0x00040000
#define JIT_ATTR_GET_USURP_LOW 0x00080000
#define JIT_ATTR_SET_DEFER 0x01000000
#define JIT_ATTR_SET_USURP 0x02000000
#define JIT_ATTR_SET_DEFER_LOW 0x04000000
#define JIT_ATTR_SET_USURP_LOW 0x08000000

#define JIT_PARALLEL_NDIM_FLAGS_FULL_MATRIX 0x00000001

typedef struct _jit_matrix_info {
  long size;
  t_symbol *type;
  long flags;
  long dimcount;
  long dim[JIT_MATRIX_MAX_DIMCOUNT];
  long dimstride[JIT_MATRIX_MAX_DIMCOUNT];
  long planecount;
} t_jit_matrix_info;

/* ready-made symbols */
extern t_symbol *_jit_sym_nothing, *_jit_sym_char, *_jit_sym_long, *_jit_sym_float32,
    *_jit_sym_float64, *_jit_sym_symbol, *_jit_sym_atom, *_jit_sym_list, *_jit_sym_float,
    *_jit_sym_int, *_jit_sym_bang, *_jit_sym_jit_matrix, *_jit_sym_jit_attr_offset,
    *_jit_sym_jit_attr_offset_array, *_jit_sym_jit_mop, *_jit_sym_lock, *_jit_sym_getinfo,
    *_jit_sym_setinfo, *_jit_sym_getdata, *_jit_sym_data, *_jit_sym_clear, *_jit_sym_register,
    *_jit_sym_getindex, *_jit_sym_getsize, *_jit_sym_getinputlist, *_jit_sym_getoutputlist,
    *_jit_sym_getinput, *_jit_sym_getoutput, *_jit_sym_matrix_calc, *_jit_sym_minplanecount,
    *_jit_sym_maxplanecount, *_jit_sym_mindim, *_jit_sym_maxdim, *_jit_sym_mindimcount,
    *_jit_sym_maxdimcount, *_jit_sym_types,
    *_jit_sym_planelink, *_jit_sym_typelink, *_jit_sym_dimlink, *_jit_sym_free,
    *_jit_sym_frommatrix, *_jit_sym_getname, *_jit_sym_name;

/* classes */
void *jit_class_new(const char *name, method mnew, method mfree, long size, ...);
t_jit_err jit_class_addmethod(void *c, method m, const char *name, ...);
t_jit_err jit_class_addattr(void *c, t_jit_object *attr);
t_jit_err jit_class_addadornment(void *c, t_jit_object *o);
void *jit_class_adornment_get(void *c, t_symbol *classname);
t_jit_err jit_class_register(void *c);
void *jit_class_findbyname(t_symbol *classname);

/* objects: `jit_object_method` sends a selector and returns its result;
 * methods registered as A_CANT take up to four pointer-sized arguments. */
void *jit_object_alloc(void *c);
void *jit_object_new(t_symbol *classname, ...);
t_jit_err jit_object_free(void *x);
void *jit_object_method(void *x, t_symbol *s, ...);
/* The forms the SDK's headers call on 64-bit targets: every value after the
 * class name or selector passed as a pointer. */
void *jit_object_new_imp(void *classname, void *p1, void *p2, void *p3, void *p4, void *p5,
                         void *p6, void *p7, void *p8, void *dummy);
void *jit_object_method_imp(void *x, void *s, void *p1, void *p2, void *p3, void *p4, void *p5,
                            void *p6, void *p7, void *p8);
void *jit_object_register(void *x, t_symbol *s);
void *jit_object_findregistered(t_symbol *s);
void *jit_object_attach(t_symbol *s, void *x);
t_jit_err jit_object_detach(t_symbol *s, void *x);
t_symbol *jit_object_classname(void *x);
t_symbol *jit_symbol_unique(void);

/* attributes */
t_jit_err jit_attr_addfilterset_clip(void *x, double min, double max, long usemin, long usemax);
t_jit_err jit_attr_setlong(void *x, t_symbol *s, t_atom_long c);
t_jit_err jit_attr_setfloat(void *x, t_symbol *s, t_atom_float c);
t_jit_err jit_attr_setsym(void *x, t_symbol *s, t_symbol *c);
t_jit_err jit_attr_setlong_array(void *x, t_symbol *s, long count, t_atom_long *vals);
t_atom_long jit_attr_getlong(void *x, t_symbol *s);
t_atom_float jit_attr_getfloat(void *x, t_symbol *s);
t_symbol *jit_attr_getsym(void *x, t_symbol *s);
long jit_attr_getlong_array(void *x, t_symbol *s, long max, t_atom_long *vals);

/* matrix operator */
t_jit_err jit_mop_single_type(void *x, t_symbol *s);
t_jit_err jit_mop_single_planecount(void *x, long c);
t_jit_err jit_mop_output_nolink(void *x, long index);

/* matrices */
t_jit_err jit_matrix_info_default(t_jit_matrix_info *info);
void jit_parallel_ndim_simplecalc1(method fn, void *data, long dimcount, long *dim,
                                   long planecount, t_jit_matrix_info *minfo1, char *bp1,
                                   long flags1);
void jit_parallel_ndim_simplecalc2(method fn, void *data, long dimcount, long *dim,
                                   long planecount, t_jit_matrix_info *minfo1, char *bp1,
                                   t_jit_matrix_info *minfo2, char *bp2, long flags1, long flags2);
void jit_parallel_ndim_simplecalc3(method fn, void *data, long dimcount, long *dim,
                                   long planecount, t_jit_matrix_info *minfo1, char *bp1,
                                   t_jit_matrix_info *minfo2, char *bp2,
                                   t_jit_matrix_info *minfo3, char *bp3, long flags1,
                                   long flags2, long flags3);

/* atoms */
t_atom_float jit_atom_getfloat(t_atom *a);
t_atom_long jit_atom_getlong(t_atom *a);
t_symbol *jit_atom_getsym(t_atom *a);
t_jit_err jit_atom_setfloat(t_atom *a, double b);
t_jit_err jit_atom_setlong(t_atom *a, t_atom_long b);
t_jit_err jit_atom_setsym(t_atom *a, t_symbol *b);

/* memory and errors */
void *jit_getbytes(long size);
void jit_freebytes(void *ptr, long size);
t_jit_err jit_error_code(void *x, t_jit_err v);

/* math on doubles */
double jit_math_pow(double x, double y);
double jit_math_sin(double x);
double jit_math_cos(double x);
double jit_math_atan(double x);
double jit_math_atan2(double y, double x);
double jit_math_sqrt(double x);
double jit_math_round(double x);

#ifdef __cplusplus
}
#endif

#endif
