// MaxAPI.dll has no code of its own: MaxAPI.def forwards every name it
// exports to jitlib.dll.
