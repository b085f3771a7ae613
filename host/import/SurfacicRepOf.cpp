#include "SurfacicRepOf.h"

#include "PlatformChecks.h"
#include "Zar3DBoundingGP.h"
#include "Zar3DFaceGP.h"
#include "Zar3DLineGP.h"

ZarRef<ZarSurfacicRep> SurfacicRepOf(const ZarTessellation& iSurface, std::vector<float> iSegments,
                                     std::vector<float> iLoosePoints) {
  ZarRef<ZarSurfacicRep> rep = AdoptCreated(ZarSurfacicRep::CreateRep());
  if (!iSurface.triangles.empty() || !iSurface.fans.empty() || !iSurface.strips.empty())
    CheckStatus(rep->AddPrimitive(*AdoptCreated(new Zar3DFaceGP(iSurface))));
  if (!iSegments.empty())
    CheckStatus(
        rep->AddPrimitive(*AdoptCreated(new Zar3DLineGP(std::move(iSegments), Zar3DLineGP::IndependentSegments))));
  if (!iLoosePoints.empty())
    CheckStatus(rep->AddPrimitive(*AdoptCreated(new Zar3DBoundingGP(ZarTessellation(), std::move(iLoosePoints)))));
  return rep;
}
