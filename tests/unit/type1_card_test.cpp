// Card type 1 converter tests.
#include <gtest/gtest.h>

#include "test_support.hpp"
