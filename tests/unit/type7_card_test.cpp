// Card type 7 converter tests.
#include <gtest/gtest.h>

#include "test_support.hpp"
