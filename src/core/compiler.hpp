// Hints to the compiler, stated in one place. Each is kept only where
// bench/callgrind.sh shows what it saves; configuring with
// -DCARDLIFT_COMPILER_HINTS=OFF turns every one of them off at once.
#pragma once

#if defined(CARDLIFT_NO_COMPILER_HINTS) || !defined(__GNUC__)
#define CARDLIFT_COLD
#define CARDLIFT_NOINLINE
#else
// Run only now and then: kept out of line and apart from the usual way.
#define CARDLIFT_COLD [[gnu::cold, gnu::noinline]]
// Kept out of line, so that its caller's usual way stays short.
#define CARDLIFT_NOINLINE [[gnu::noinline]]
#endif
