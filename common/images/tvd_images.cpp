// The images of this library are its resources; this file only gives the
// library an object of its own.
