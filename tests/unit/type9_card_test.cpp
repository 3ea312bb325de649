// Card type 9 converter tests.
#include <gtest/gtest.h>

#include "test_support.hpp"
