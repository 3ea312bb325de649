#include <gtest/gtest.h>

#include "test_support.hpp"
