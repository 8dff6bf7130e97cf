// Fits the response constants R, B, F and O to blackbody references.
//
// The model is linear in R and O once B and F are fixed, so the fit searches only B (and F)
// and solves R and O by linear least squares at every step (variable projection). B is first
// bracketed by a logarithmic scan over every plausible value, so the result never depends on
// a starting guess, then refined by golden-section search. Three references determine three
// constants: F stays at 1 (the value of an ideal Planck response). With four or more, a small
// Levenberg-Marquardt step on (B, F) frees F, held weakly at 1 so that references that say
// nothing about it cannot push it anywhere.
#pragma once

#include <zelir/zelir.h>

#include <optional>
#include <span>
#include <string>

namespace zelir::radiometry {

struct Reference {
    double celsius = 0.0;
    double digits = 0.0;  // mean digit value of the uniform target
};

inline constexpr float kFitMinCelsius = -50.0f;
inline constexpr float kFitMaxCelsius = 650.0f;

struct FitResult {
    ZelIrRadiometry constants{};
    double rmsDigits = 0.0;  // residual of the references
};

// Nothing (with the reason) for fewer than three references, temperatures or digit values that
// do not rise from one reference to the next, or references no response of this form fits.
std::optional<FitResult> FitResponse(std::span<const Reference> references, std::string& reason);

}  // namespace zelir::radiometry
