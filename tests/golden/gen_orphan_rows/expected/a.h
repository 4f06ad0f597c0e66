ga=old a
L=changed by the template
