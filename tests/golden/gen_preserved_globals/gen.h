// BEGIN-UID.banner
hand written banner   
// END-UID.banner
double area() {
  // BEGIN-UID. Shape.area
  return w * h;
  // END-UID.Shape.area
}
// BEGIN-UID.gone
old code
// END-UID.gone
// BEGIN-UID.Shape.draw
// END-UID.Shape.draw
