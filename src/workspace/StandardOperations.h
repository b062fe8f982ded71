#pragma once
// The eighteen picture operations with the image component calls and arguments they make.
class ImageOperations;

void defineStandardOperations(ImageOperations& operations);
