// BEGIN-UID.banner
hand written banner
// END-UID.banner
// orphan gone: [old code]
// orphan Shape.draw: []
area() {  // captured=true
  // BEGIN-UID.Shape.area
  return w * h;
  // END-UID. Shape.area
}
draw() {  // captured=false
  // BEGIN-UID.Shape.draw
paint();
  // END-UID. Shape.draw
}
who=the template
date known=true
