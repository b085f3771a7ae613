#include "Zar3DFinalBagRep.h"

ZAR_IMPLEMENT_CLASS(Zar3DFinalBagRep, Zar3DBagRep, "ZarPlatform", ZarRetrieveMetaClass)
