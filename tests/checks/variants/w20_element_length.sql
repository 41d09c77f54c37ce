-- Elements longer than 30 m.
-- expect: W20
-- level: 1
-- text:  30.0 m
UPDATE tbl_all SET Lmax = 30;
