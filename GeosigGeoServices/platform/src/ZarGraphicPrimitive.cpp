#include "ZarGraphicPrimitive.h"

void ZarGraphicPrimitive::GetArrays(int*, const float**, int*, const float**, int*, const int**, int*, const int**,
                                    int*, const int**, const int**, int*, const int**, const void*, const void*,
                                    const void*) {}

void ZarGraphicPrimitive::Clear(int*, const float**, int*, const float**, int*, const int**, int*, const int**, int*,
                                const int**, const int**, int*, const int**) {}
