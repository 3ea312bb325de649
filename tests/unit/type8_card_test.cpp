// Card type 8 converter tests.
#include <gtest/gtest.h>

#include "test_support.hpp"
