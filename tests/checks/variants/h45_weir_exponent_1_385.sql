-- A weir with the exponent 1.385.
-- expect: H45
-- level: 2
-- text: n =  1.38
UPDATE tbl_rvldaten SET HVE_n_c = 1.385 WHERE bez = 'U1';
