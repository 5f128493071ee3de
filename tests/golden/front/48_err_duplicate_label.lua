::a::
do ::b:: ::a:: end
