/* Max object API, as the published Max SDK names and declares it.
 * The embedded host implements every function declared here; a binding that
 * includes only this header (and jit.common.h, max.jit.mop.h) compiles
 * unchanged against the real SDK. */
#ifndef ZELK_EXT_H
#define ZELK_EXT_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h> /* sprintf */

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define C74_EXPORT __declspec(dllexport)
#else
#define C74_EXPORT __attribute__((visibility("default")))
#endif

typedef intptr_t t_ptr_int;
typedef uintptr_t t_ptr_uint;
typedef t_ptr_int t_atom_long;
typedef double t_atom_float;
typedef t_atom_long t_max_err;

typedef void *(*method)(void *, ...);

struct object;
struct messlist;
typedef struct messlist t_messlist;

typedef struct symbol {
  char *s_name;
  struct object *s_thing;
} t_symbol;

typedef struct object {
  struct messlist *o_messlist;
  t_ptr_int o_magic;
  struct inlet *o_inlet;
  struct outlet *o_outlet;
} t_object;

union word {
  t_atom_long w_long;
  t_atom_float w_float;
  struct symbol *w_sym;
  struct object *w_obj;
};

typedef struct atom {
  short a_type;
  union word a_w;
} t_atom;

enum e_max_atomtypes {
  A_NOTHING = 0,
  A_LONG = 1,
  A_FLOAT = 2,
  A_SYM = 3,
  A_OBJ = 4,
  A_DEFLONG = 5,
  A_DEFFLOAT = 6,
  A_DEFSYM = 7,
  A_GIMME = 8,
  A_CANT = 9
};

#define calcoffset(x, y) ((t_ptr_int)offsetof(x, y))

t_symbol *gensym(const char *s);

/* Class set-up of the Max wrapper: `setup` makes the class current, the
 * add* calls that follow attach messages to it. */
void setup(t_messlist **ident, method makefun, method freefun, short size, method menufun,
           short type, ...);
void addmess(method f, char *s, short type, ...);
void addbang(method f);
void *newobject(void *maxclass); /* a record of a class made by setup */
void freeobject(t_object *op);

/* An inlet beyond the leftmost; a method learns where a message came in by
 * proxy_getinlet (0 = leftmost). */
void *inlet_new(void *x, const char *s);
long proxy_getinlet(t_object *master);

void *outlet_new(void *x, const char *s);
void *outlet_anything(void *o, t_symbol *s, short ac, t_atom *av);
void *outlet_list(void *o, t_symbol *s, short ac, t_atom *av);
void *outlet_float(void *o, double f);
void *outlet_int(void *o, t_atom_long n);
void *outlet_bang(void *o);

/* One console line each; `error` marks it as an error. */
void error(const char *fmt, ...);
void post(const char *fmt, ...);

#ifdef __cplusplus
}
#endif

#endif
