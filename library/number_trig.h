// Sine, cosine and tangent of a Double with an exact argument reduction: the
// argument is reduced by pi/2 with as many bits of 2/pi as its size needs, so
// that every build gives the same, correctly rounded result however large the
// argument (a short pi would lose the low digits from about 1e5 on).
#pragma once

namespace tam {

double TrigSin(double x);
double TrigCos(double x);
double TrigTan(double x);

}  // namespace tam
